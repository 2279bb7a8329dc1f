#pragma once
// The two commands of the template library's home page that back up and restore the
// library with the database: file dialog, progress dialog, result message.

#include <string>

class QWidget;

// Asks for the backup file and writes it; the result is shown in a message box.
void BackupCommand(QWidget* parent, const std::wstring& dataDirectory);
// Asks first (the library and database will be replaced), then for the backup file,
// then restores it. True when a restore was tried: the caller reloads its folder tree
// and template list then, whatever the result.
bool RestoreCommand(QWidget* parent, const std::wstring& dataDirectory);
