#pragma once
// Kind ids of the attribute classes that group items. Every id comes from one
// counter, in one fixed order, when RegisterAttribKinds runs at start-up; until then
// each id is -1. The ids decide which attributes a multiple selection merges, so
// the order never changes. The classes live in several areas; their ids live here
// so that the order stays one list.

#include <cstdint>

namespace DoxAttribKindId
{
extern int32_t Align;          // DoxAlignAttribute            0
extern int32_t Basic;          // DoxBasicAttribute            1
extern int32_t Data;           // DoxDataAttribute             2
extern int32_t EditSplit;      // DoxEditSplitAttribute        3
extern int32_t Font;           // DoxFontAttribute             4
extern int32_t Format;         // DoxFormatAttribute           5
extern int32_t Formula;        // DoxFormulaAttribute          6
extern int32_t Table;          // DoxTableAttribute            7
extern int32_t GridBasic;      // DoxAttribGridBasic           8
extern int32_t CheckValue;     // DoxCheckValueAttrib          9
extern int32_t RichEditSplit;  // DoxRichEditSplitAttribute   10
extern int32_t RichLabelSplit; // DoxRichLabelSplitAttribute  11
extern int32_t TableSplit;     // DoxTableSplitAttribute      12
extern int32_t FrameSplit;     // DoxFrameSplitAttribute      13
extern int32_t DataFunction;   // DataFunctionAttrib          14
} // namespace DoxAttribKindId

// Gives id the counter's value and advances the counter.
void RegisterAttribKind(int32_t& id);

// Assigns every attribute kind id above, in order. Runs its steps once; later calls
// change nothing.
void RegisterAttribKinds();
