#pragma once
// Helpers of the backup and restore tests: what a bill database holds, and the bytes
// of a file that passes for a template.

#include <filesystem>
#include <string>

namespace backuptest
{

// What a bill database holds as SQLite reads it (through its log, when there is one):
// the integrity check, then the payees of the test's table "bills" in order of entry.
std::string Bills(const std::filesystem::path& file);

// A template without elements: the header of a template file, then a body.
std::string TemplateBytes(const std::string& body);

} // namespace backuptest
