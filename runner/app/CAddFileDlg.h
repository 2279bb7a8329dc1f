#pragma once
// The dialog of File Open that asks in which library folder a chosen template goes
// (dialog 352): the preview of the file (control 1006), the folder list (control
// 1005) and a Cancel button. A click on the selected folder copies the file there.

#include "BitmapPlus.h"

#include <QDialog>

#include <string>

class CFolderView;

class CAddFileDlg : public QDialog
{
public:
    CAddFileDlg(std::wstring path, std::wstring library, QWidget* parent = nullptr);

    // After IDOK: the folder's name, the template's title, the copy's path.
    const std::wstring& FolderName() const { return folderName_; }
    const std::wstring& Title() const { return title_; }
    const std::wstring& Target() const { return target_; }
    CFolderView* Folders() const { return folders_; }

private:
    void AddTo(const std::wstring& name, const std::wstring& folder);

    std::wstring path_;
    std::wstring folderName_;
    std::wstring title_;
    std::wstring target_;
    CFolderView* folders_;
};
