#include "CDesignDoc.h"

#include "CDesignPage.h"
#include "CDesignView.h"
#include "CDoxDesigner.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "FileAccess.h"
#include "IDoxCore.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "PathText.h"
#include "UIFileDailog.h"
#include "UIUitl.h"
#include "WaitCursor.h"


namespace
{

constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

constexpr wchar_t kFilter[] = L"dox template|*.dxt||";
constexpr unsigned kDialogFlags = OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

bool PageSizeValid(int cx, int cy) { return cx >= 400 && cx <= 6000 && cy >= 400 && cy <= 6000; }
bool BasePointInside(int x, int y, int cx, int cy) { return x >= 0 && x <= cx && y >= 0 && y <= cy; }

bool SameFile(const std::wstring& a, const std::wstring& b) { return plat::SameFilePath(a, b); }

void AddToRecent(const std::wstring& path)
{
    if (CDoxDesigner* app = CDoxDesigner::App()) app->AddToRecentFileList(path);
}

} // namespace

std::wstring TitleOfPath(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) slash = path.rfind(L'/');
    if (slash == std::wstring::npos || slash == 0) return path;
    return path.substr(slash + 1);
}

CDesignDoc::~CDesignDoc() { CloseDocument(); }

void CDesignDoc::Wire(IDoxCore* core, CMainFrame* frame, CDesignPage* designPage, CHomePage* homePage)
{
    core_ = core;
    frame_ = frame;
    designPage_ = designPage;
    homePage_ = homePage;
}

bool CDesignDoc::Blocked() const { return frame_ && frame_->IsTestPageShown(); }

bool CDesignDoc::OnCmdMsg(unsigned id, CmdUI* ui)
{
    const bool open = document_ != nullptr;
    const bool free = !Blocked();
    // A command whose dialog is not part of this build stays disabled.
    const DesignerExtensions& hooks = Extensions();
    bool enabled = false;
    void (CDesignDoc::*handler)() = nullptr;
    switch (id) {
    case ID_FILE_NEW:
        enabled = free && hooks.runNewTemplateWizard;
        handler = &CDesignDoc::New;
        break;
    case ID_FILE_OPEN:
        enabled = free;
        handler = &CDesignDoc::Open;
        break;
    case ID_FILE_CLOSE:
        enabled = open && free;
        handler = &CDesignDoc::Close;
        break;
    case ID_FILE_SAVE:
        // Not while the test page shows: it works on the open template's pages.
        enabled = open && free && document_->IsModified() != 0;
        break;
    case ID_FILE_SAVE_AS:
        enabled = open && free;
        handler = &CDesignDoc::SaveAs;
        break;
    case ID_PAGE_NEW:
        enabled = open && free && hooks.runPageProperties;
        handler = &CDesignDoc::NewPage;
        break;
    case ID_PAGE_DELETE:
        enabled = open && free && document_->GetPageCount() >= 2;
        handler = &CDesignDoc::DeletePage;
        break;
    case ID_TEMPLATE_PROPERTIES:
        enabled = open && free && hooks.runTemplateProperties;
        handler = &CDesignDoc::Properties;
        break;
    default:
        return false;
    }
    if (ui) {
        ui->enabled = enabled;
        return true;
    }
    if (!enabled)
        return true;
    if (id == ID_FILE_SAVE)
        Save();
    else
        (this->*handler)();
    return true;
}

bool CDesignDoc::PromptSave()
{
    if (!document_ || !document_->IsModified()) return true;
    const int answer = UIUitl::MessageBoxFormat(35, L"保存对 “%ls”的更改吗？", title_.c_str());
    if (answer == kIdYes) return Save();
    return answer == kIdNo;
}

bool CDesignDoc::CloseWithPrompt()
{
    if (!PromptSave()) return false;
    CloseDocument();
    return true;
}

void CDesignDoc::SetPath(const std::wstring* path)
{
    path_ = path ? *path : std::wstring();
    title_ = path_.empty() ? std::wstring() : TitleOfPath(path_);
    if (frame_) frame_->SetDocumentTitle(title_);
}

void CDesignDoc::CloseDocument()
{
    SetPath(nullptr);
    readOnly_ = false;
    if (designPage_) {
        designPage_->ClearPanes();
        designPage_->RemoveAllTabs();
    }
    if (document_) {
        document_->Release();
        document_ = nullptr;
    }
}

bool CDesignDoc::OpenDocument(const std::wstring& path)
{
    IDoxDocument* document = nullptr;
    {
        plat::WaitCursor wait;
        document = core_ ? core_->OpenTemplate(path.c_str()) : nullptr;
    }
    if (!document) {
        UIUitl::MessageBoxFormat(16, L"打开模板“%ls”失败! %ls", path.c_str(),
                                 core_ ? core_->GetLastErrorText() : L"");
        return false;
    }
    document_ = document;
    if (!designPage_->RebuildTabs()) {
        UIUitl::MessageBoxW(16, L"更新页面窗口失败!");
        return false;
    }
    SetPath(&path);
    AddToRecent(path);
    // The core judged the file the same way and opened it for reading only.
    readOnly_ = !plat::MayReplaceFile(plat::PathFromWide(path));
    if (readOnly_)
        UIUitl::MessageBoxFormat(64, L"模板“%ls”是只读的，不能在原处保存。修改后请用“另存为”保存为新的模板文件。",
                                 title_.c_str());
    return true;
}

void CDesignDoc::ShowResult(bool designPage)
{
    if (!frame_) return;
    if (designPage)
        frame_->ShowDesignPage();
    else
        frame_->ShowHomePage();
}

int CDesignDoc::OpenByPath(const std::wstring& path)
{
    if (Blocked()) return 0;
    if (document_ && SameFile(path, path_)) return 1;
    if (!CloseWithPrompt()) return 1;
    const bool opened = OpenDocument(path);
    ShowResult(opened);
    return opened ? 1 : 0;
}

void CDesignDoc::New()
{
    if (Blocked() || !PromptSave()) return;
    NewTemplateRequest request;
    if (!Extensions().runNewTemplateWizard || !Extensions().runNewTemplateWizard(frame_, request)) return;
    if (!PageSizeValid(request.cx, request.cy)) {
        UIUitl::MessageBoxW(16, L"默认页面的大小参数不在有效值范围内。");
        return;
    }
    if (!BasePointInside(request.baseX, request.baseY, request.cx, request.cy)) {
        UIUitl::MessageBoxW(16, L"基点位置不在页面的范围内。");
        return;
    }
    CloseDocument();
    bool created = false;
    {
        plat::WaitCursor wait;
        document_ = core_->CreateTemplate(request.path.c_str(), request.pageName.c_str(), request.cx, request.cy);
    }
    if (!document_) {
        UIUitl::MessageBoxFormat(16, L"创建模板“%ls”失败! %ls。", request.path.c_str(), core_->GetLastErrorText());
    } else if (!designPage_->RebuildTabs()) {
        UIUitl::MessageBoxW(16, L"更新页面窗口失败!");
    } else {
        SetPath(&request.path);
        AddToRecent(request.path);
        if (IDoxDesignWindow* window = designPage_->DesignWindowAt(0)) {
            window->SetPageBasePoint(request.baseX, request.baseY);
            window->SetBackgroundPicture(request.picturePath.c_str(), request.sizeFromPicture);
            window->SetBackgroundStretch(request.stretch);
        }
        plat::WaitCursor wait;
        document_->Save();
        created = true;
    }
    ShowResult(created);
}

void CDesignDoc::Open()
{
    if (Blocked() || !PromptSave()) return;
    UIFileDailog dialog(1, L"dxt", nullptr, kDialogFlags, kFilter, frame_);
    if (dialog.DoModal() != kIdOk) return;
    const std::wstring path = dialog.GetPathName();
    if (document_ && SameFile(path, path_)) return;
    CloseDocument();
    ShowResult(OpenDocument(path));
}

void CDesignDoc::Close()
{
    if (Blocked()) return;
    if (CloseWithPrompt()) ShowResult(false);
}

bool CDesignDoc::Save()
{
    if (!document_) return false;
    if (readOnly_) {
        const int answer = UIUitl::MessageBoxFormat(
            36, L"模板“%ls”是只读的，不能在原处保存。要另存为新的模板文件吗？", title_.c_str());
        return answer == kIdYes && SaveUnderNewName();
    }
    int saved = 0;
    {
        plat::WaitCursor wait;
        saved = document_->Save();
    }
    if (!saved) {
        UIUitl::MessageBoxFormat(16, L"保存“%ls”失败。%ls", title_.c_str(), core_->GetLastErrorText());
        return false;
    }
    return true;
}

void CDesignDoc::SaveAs()
{
    SaveUnderNewName();
}

bool CDesignDoc::SaveUnderNewName()
{
    if (!document_) return false;
    UIFileDailog dialog(0, L"dxt", title_.c_str(), kDialogFlags, kFilter, frame_);
    if (dialog.DoModal() != kIdOk) return false;
    const std::wstring path = dialog.GetPathName();
    int saved = 0;
    {
        plat::WaitCursor wait;
        saved = document_->SaveAs(path.c_str());
    }
    if (!saved) {
        UIUitl::MessageBoxFormat(16, L"另存模板“%ls”失败。原因：%ls", path.c_str(), core_->GetLastErrorText());
        return false;
    }
    SetPath(&path);
    AddToRecent(path);
    readOnly_ = !plat::MayReplaceFile(plat::PathFromWide(path));
    return true;
}

void CDesignDoc::NewPage()
{
    if (Blocked() || !document_ || !Extensions().runPageProperties) return;
    PageProperties page;
    page.newPage = true;
    const wchar_t* name = document_->MakeNewPageName();
    page.name = name ? name : L"";
    page.cx = 2100;
    page.cy = 2970;
    if (!Extensions().runPageProperties(frame_, page)) return;
    if (!PageSizeValid(page.cx, page.cy)) {
        UIUitl::MessageBoxW(16, L"新建页面的大小参数不在有效值范围内。");
        return;
    }
    if (!BasePointInside(page.baseX, page.baseY, page.cx, page.cy)) {
        UIUitl::MessageBoxW(16, L"基点位置不在页面的范围内。");
        return;
    }
    IDoxPage* added = document_->AddPage(page.name.c_str(), page.cx, page.cy);
    if (!added) {
        UIUitl::MessageBoxFormat(16, L"创建页面“%ls”失败。 原因：%ls", page.name.c_str(), core_->GetLastErrorText());
        return;
    }
    CDesignView* view = designPage_->AddPageTab(added);
    if (!view) {
        UIUitl::MessageBoxW(16, L"创建页面视图失败。");
        return;
    }
    designPage_->ActivateView(view);
    IDoxDesignWindow* window = view->Window();
    window->SetPageBasePoint(page.baseX, page.baseY);
    window->SetBackgroundStretch(page.stretch);
    if (!page.picturePath.empty()) window->SetBackgroundPicture(page.picturePath.c_str(), page.sizeFromPicture);
}

void CDesignDoc::DeletePage()
{
    if (Blocked() || !document_) return;
    const int index = designPage_->ActiveTab();
    IDoxPage* page = index >= 0 ? document_->GetPage(index) : nullptr;
    if (!page) {
        UIUitl::MessageBoxW(16, L"页面不存在。");
        return;
    }
    const std::wstring name = page->GetName() ? page->GetName() : L"";
    if (UIUitl::MessageBoxFormat(33, L"确实要删除页面“%ls”吗?", name.c_str()) != kIdOk) return;
    // The document decides first: a refused delete keeps its tab, so tabs and pages
    // stay in step. The page's view lets go of the page before it goes.
    designPage_->DetachPageAt(index);
    if (!document_->DeletePage(index)) {
        designPage_->ReattachPageAt(index, page);
        UIUitl::MessageBoxFormat(16, L"删除页面“%ls”失败。 原因：%ls", name.c_str(), core_->GetLastErrorText());
        return;
    }
    designPage_->RemovePageTab(index);
}

void CDesignDoc::Properties()
{
    if (Blocked() || !document_ || !Extensions().runTemplateProperties) return;
    Extensions().runTemplateProperties(frame_, path_, document_, core_);
}
