#pragma once
// The file dialog of the programs, asked through the platform's prompter.

#include "VududiruraApi.h"

#include <string>

class QWidget;

// Flags the programs pass (Windows' OFN_ numbers).
constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
constexpr unsigned OFN_HIDEREADONLY = 0x4;
constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;
constexpr unsigned OFN_ENABLESIZING = 0x800000;

class VUDU_API UIFileDailog
{
public:
    // open: an open dialog (else save); defaultExtension without the dot; initialName a
    // file or folder to start from; filter in the "desc|*.a;*.b||" form. An open
    // dialog without OFN_FILEMUSTEXIST also takes a name that does not exist yet (a new
    // template, a backup file); a save dialog asks before replacing a file.
    UIFileDailog(int open, const wchar_t* defaultExtension, const wchar_t* initialName, unsigned flags,
                 const wchar_t* filter, QWidget* parent = nullptr, unsigned size = 0, int vistaStyle = 1);

    void SetTitle(const std::wstring& title) { title_ = title; }
    void SetOKButtonText(const std::wstring& text) { okText_ = text; }
    // The filter shown first, counting from 1.
    void SetFilterIndex(int index) { filterIndex_ = index; }

    // IDOK (1) when a file was chosen, else IDCANCEL (2).
    int DoModal();

    // After IDOK: the whole path, the file name, the name without its extension.
    std::wstring GetPathName() const { return path_; }
    std::wstring GetFileName() const;
    std::wstring GetFileTitle() const;

private:
    bool open_;
    std::wstring defaultExtension_;
    std::wstring initialName_;
    unsigned flags_;
    std::wstring filter_;
    QWidget* parent_;
    std::wstring title_;
    std::wstring okText_;
    int filterIndex_ = 0;
    std::wstring path_;
};
