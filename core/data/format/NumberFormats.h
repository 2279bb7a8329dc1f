#pragma once
// The format functions of the number category: fixed decimals, thousands
// separators, percent and per mille, multiples, Chinese numerals and amounts, and
// the digit of one position for the boxes of a split amount field.

#include "FormatCatalogue.h"

#include <span>

// The 94 entries of the number category, in index order.
std::span<FormatEntry> NumberFormatEntries();
