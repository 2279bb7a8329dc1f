#pragma once
// Folders one program knows of the other's.

#include <string>

// The printing program's template library, "templates" in that program's data folder,
// where the clerk finds the templates to fill in (it need not exist yet).
std::wstring PrintingProgramLibraryFolder();
