#include "UIFileDailog.h"

#include "Prompter.h"
#include "UIUitl.h"

#include <vector>

UIFileDailog::UIFileDailog(int open, const wchar_t* defaultExtension, const wchar_t* initialName, unsigned flags,
                           const wchar_t* filter, QWidget* parent, unsigned, int)
    : open_(open != 0),
      defaultExtension_(defaultExtension ? defaultExtension : L""),
      initialName_(initialName ? initialName : L""),
      flags_(flags),
      filter_(filter ? filter : L""),
      parent_(parent)
{
}

int UIFileDailog::DoModal()
{
    namespace dp = dox::platform;
    dp::FileDialogRequest request;
    request.save = !open_;
    request.mustExist = (flags_ & OFN_FILEMUSTEXIST) != 0;
    request.title = title_;
    request.filter = filter_;
    request.defaultSuffix = defaultExtension_;
    request.initialPath = initialName_;
    request.okText = okText_;
    request.filterIndex = filterIndex_;
    std::vector<std::wstring> chosen;
    if (!dp::CurrentPrompter().FileDialog(parent_, request, &chosen) || chosen.empty() || chosen.front().empty())
        return dp::kIdCancel;
    path_ = chosen.front();
    return dp::kIdOk;
}

std::wstring UIFileDailog::GetFileName() const
{
    std::wstring name;
    UIUitl::SpliteFileName(path_, nullptr, &name);
    return name;
}

std::wstring UIFileDailog::GetFileTitle() const { return UIUitl::SpliteFileTitle(path_); }
