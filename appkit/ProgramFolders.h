#pragma once
// The folders both programs agree on. The printing program keeps its data (the template
// library and the bill database) under its own name in the desktop's data folder, and
// the designer proposes new templates in that library, so both name it one way.

#include <string>

// The printing program's data folder (it need not exist yet).
std::wstring PrintingProgramDataFolder();
// The template library, "templates" in the printing program's data folder, where the
// clerk finds the templates to fill in (it need not exist yet).
std::wstring TemplateLibraryFolder();
