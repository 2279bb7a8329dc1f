#pragma once
// How the programs' heap keeps the memory it frees.

namespace plat
{

// Keeps freed memory in the heap for reuse instead of handing the top of the heap
// back to the system as soon as it is free. Both programs call it first thing.
void KeepFreedMemoryForReuse();

} // namespace plat
