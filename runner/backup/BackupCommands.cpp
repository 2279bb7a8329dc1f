#include "BackupCommands.h"

#include "CProgressDlg.h"
#include "UIFileDailog.h"
#include "UIUitl.h"

namespace
{

constexpr unsigned kIconError = 16;
constexpr unsigned kIconInformation = 64;
constexpr unsigned kQuestionYesNo = 36;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;

// The backup file, or empty when the dialog was cancelled.
std::wstring AskForArchive(QWidget* parent, const wchar_t* title)
{
    UIFileDailog dialog(1, L"dxb", nullptr, OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                        L"dox backup|*.dxb||", parent);
    dialog.SetTitle(title);
    dialog.SetOKButtonText(L"确定");
    return dialog.DoModal() == kIdOk ? dialog.GetPathName() : std::wstring();
}

} // namespace

void BackupCommand(QWidget* parent, const std::wstring& dataDirectory)
{
    const std::wstring path = AskForArchive(parent, L"备份");
    if (path.empty()) return;
    CProgressDlg progress(1, path, dataDirectory, parent);
    if (progress.DoModal() == kIdOk)
        UIUitl::MessageBoxFormat(kIconInformation, L"备份所有模板和数据库成功。\n备份文件:%ls", path.c_str());
    else
        UIUitl::MessageBoxFormat(kIconError, L"备份所有模板和数据库失败。原因：%ls", progress.GetReason().c_str());
}

bool RestoreCommand(QWidget* parent, const std::wstring& dataDirectory)
{
    if (UIUitl::MessageBoxW(kQuestionYesNo,
                            L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？") != kIdYes)
        return false;
    const std::wstring path = AskForArchive(parent, L"恢复");
    if (path.empty()) return false;
    CProgressDlg progress(0, path, dataDirectory, parent);
    if (progress.DoModal() == kIdOk)
        UIUitl::MessageBoxW(kIconInformation, L"恢复所有模板和数据库成功。");
    else
        UIUitl::MessageBoxFormat(kIconError, L"恢复所有模板和数据库失败。原因：%ls", progress.GetReason().c_str());
    return true;
}
