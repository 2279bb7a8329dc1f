#pragma once
// The format functions of the text category: the text, a character, a word, and
// the part between two sets of characters.

#include "FormatCatalogue.h"

#include <span>
#include <string>

// The 23 entries of the text category, in index order.
std::span<FormatEntry> TextFormatEntries();

// "<空白>": empty text, success; entry 1 of every category.
int FormatBlank(const wchar_t* parameter, const FormatValue* value, std::wstring& out);

// Word n (from 1) of a text: leading white space is skipped; every run of
// separator characters (white space when separators is null or empty) ends a word.
std::wstring NthWord(const wchar_t* text, int n, const wchar_t* separators);

// The part of text after the first character of the set x (and any x characters
// right behind it) and before the next character of the set y.
std::wstring TextBetween(const wchar_t* text, const std::wstring& x, const std::wstring& y);
