#pragma once
// The installed font faces, for the font attribute's face choices: one process-wide
// list, filled on first use, sorted ignoring case, never emptied until unload.

#include <string>
#include <vector>

// The list itself (empty until EnumerateFontFaces has run).
std::vector<std::wstring>& FontFaceList();

// Fills the list from the installed font families.
void EnumerateFontFaces();

// Adds a reported face name: leading '@', tab and blank characters are skipped, and a
// name that is then empty or already listed (ignoring ASCII case) is ignored.
void AddFontFace(std::vector<std::wstring>& list, const std::wstring& reported);

// Sorts ascending, ignoring ASCII case.
void SortFontFaces(std::vector<std::wstring>& list);

// The face at index, or the empty text outside the list.
const wchar_t* GetFontFace(int index);
