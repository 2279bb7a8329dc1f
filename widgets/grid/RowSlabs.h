#pragma once
// Where the grid's rows live: side by side in slabs of about a thousand, in the order
// they came, instead of one heap block each among their cell texts. A find over a
// hundred thousand rows reads every row's flags and pair mask; packed, the rows are one
// run of memory that the processor streams in, where before every row was a line
// fetched from a new place, and the rows after a sort still share a few pages.

#include <cstddef>

namespace brindle
{

// A place for one row of `size` bytes (the row's own size: anything else is an
// ordinary heap block), and its return. Any thread; a slab whose rows are all gone
// goes back to the heap.
void* TakeRowSlot(size_t size);
void GiveRowSlot(void* slot, size_t size);

// A place for one row's cell texts of `size` bytes, and its return (null: nothing).
// The blocks of rows added one after another lie one after another in runs of memory
// mapped as large pages: a find reads the start of every row's block, and scattered
// over the heap each of a million blocks cost an address translation missed as well
// as the line. A run goes back to the system once none of its blocks is in use. Any
// thread.
char* TakeCellBlock(size_t size);
void GiveCellBlock(char* block);

} // namespace brindle
