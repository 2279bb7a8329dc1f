#pragma once
// Message boxes and file helpers of the application frame. Message boxes go through the
// platform's prompter (tests script them) with the program's caption.

#include "VududiruraApi.h"

#include <string>

class QWidget;

class VUDU_API UIUitl
{
public:
    // type: Windows message box type (16 error, 64 information, 36 question Yes/No,
    // 33 OK/Cancel, 35 Yes/No/Cancel); returns the button (IDOK 1, IDCANCEL 2, IDYES 6,
    // IDNO 7). The owner is the active window.
    static int MessageBoxW(unsigned type, const std::wstring& text);
    // A text of the program's string table (RegisterString); an unknown id shows its number.
    static int MessageBoxW(unsigned type, unsigned stringId);
    // printf-style wide format (wide texts as %ls).
    static int MessageBoxFormat(unsigned type, const wchar_t* format, ...);

    // The program's string table, filled at start-up.
    static void RegisterString(unsigned id, const std::wstring& text);
    static std::wstring LoadString(unsigned id);
    // The caption of every message box (the program's name); empty: the application's
    // display name.
    static void SetMessageCaption(const std::wstring& caption);

    // A file or folder exists at the path.
    static bool CheckFileExist(const std::wstring& path);
    // The path is a template file: a regular file named "*.dxt" (ASCII case ignored)
    // that begins like one.
    static bool CheckTemplateFile(const std::wstring& path);
    // Makes one folder (its parent must exist); false with the reason for
    // GetLastErrorInfo, also when it exists already.
    static bool CreateDirectoryW(const std::wstring& path);
    // Removes a file; false with the reason for GetLastErrorInfo.
    static bool DeleteFileW(const std::wstring& path);
    // The text of the failure just reported: of the last failing helper here, unless a
    // system call failed after it (then that call's reason).
    static std::wstring GetLastErrorInfo();

    // Splits at the last '/' or '\': folder (with its separator) and file name; false
    // when the path has no file name.
    static bool SpliteFileName(const std::wstring& path, std::wstring* folder, std::wstring* name);
    // The file name without its extension.
    static std::wstring SpliteFileTitle(const std::wstring& path);
    // The version text of a module ("1.0.0.1"): the application's version for the
    // program, else the version the libraries are built with.
    static std::wstring GetFileVersion(const std::wstring& modulePath);

    // Replaces a file with the bytes: a temporary file in the same folder, fsync,
    // rename, so the old file stays whole when anything fails.
    static bool WriteFileReplacing(const std::wstring& path, const std::string& bytes);
};

// A path as the double-NUL list the shell's file operations take.
class VUDU_API UISHFileOpString
{
public:
    explicit UISHFileOpString(const std::wstring& path) : text_(path + L'\0') {}
    // The path followed by two NULs.
    const wchar_t* Get() const { return text_.c_str(); }

private:
    std::wstring text_;
};
