#include "CHomePageWnd.h"

#include "BackupCommands.h"
#include "CDoxFrame.h"
#include "CDoxKQRunner.h"
#include "CHomeSidebar.h"
#include "CHomeView.h"
#include "CNewCateDlg.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxImageData.h"
#include "RunnerFiles.h"
#include "StreamPlus.h"
#include "UIFileDailog.h"
#include "UIUitl.h"
#include "WaitCursor.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QProcess>

#include <cstdio>

namespace
{

constexpr unsigned kIconError = 16;
constexpr unsigned kQuestion = 36;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;

QString Q(const std::wstring& s) { return QString::fromStdWString(s); }

IDoxCore* Core() { return CDoxKQRunner::App() ? CDoxKQRunner::App()->Core() : nullptr; }

} // namespace

CHomePageWnd::CHomePageWnd(CDoxFrame* frame, QWidget* parent) : QWidget(parent), frame_(frame)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CHomePageWnd::~CHomePageWnd() = default;

std::wstring CHomePageWnd::LibraryFolder() const
{
    return CDoxKQRunner::App() ? CDoxKQRunner::App()->LibraryFolder() : std::wstring();
}

bool CHomePageWnd::Create()
{
    sidebar_ = new CHomeSidebar(this);
    if (!sidebar_->Create(0x10000000u, RECT{}, this, 1)) return false;
    view_ = new CHomeView(this);
    if (!view_->Create(0x10000000u | 0xC, RECT{}, this, 2)) return false;
    view_->SetIconLayoutSize(SIZE{116, 136});
    Layout();
    sidebar_->Refill();
    sidebar_->SelectFirstCategory();
    return true;
}

void CHomePageWnd::Layout()
{
    if (!sidebar_) return;
    // Inside the one-pixel border.
    const int w = width() - 2, h = height() - 2;
    sidebar_->setGeometry(1, 1, 185, h);
    view_->setGeometry(1 + 205, 1 + 60, std::max(0, w - 545), std::max(0, h - 80));
}

void CHomePageWnd::resizeEvent(QResizeEvent*)
{
    Layout();
}

void CHomePageWnd::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    IdleUpdate();
}

void CHomePageWnd::paintEvent(QPaintEvent*)
{
    QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.translate(1, 1);
        const int w = width() - 2;
        const QRect band(205, 20, std::max(0, w - 340 - 205), 30);
        p.fillRect(band, runner::ColourOf(0xF0EEED));
        p.setPen(runner::ColourOf(0x5E5E5E));
        p.drawText(band.adjusted(5, 0, -5, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Q(categoryName_));
        QLinearGradient shade(0, 0, 0, height());
        shade.setColorAt(0, runner::ColourOf(0xF8F8F8));
        shade.setColorAt(0.5, runner::ColourOf(0xD7D7D7));
        shade.setColorAt(1, runner::ColourOf(0xF8F8F8));
        p.fillRect(QRect(w - 320, 0, 1, height() - 2), shade);
        if (!preview_.IsNull()) {
            const QRect title(w - 310, 21, 300, 28);
            p.setPen(runner::ColourOf(0x5E5E5E));
            p.drawText(title, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Q(previewTitle_));
            p.setPen(QPen(runner::ColourOf(0xC9C8C7), 1, Qt::DotLine));
            p.drawLine(title.left(), title.bottom(), title.right(), title.bottom());
            const QRect place(w - 315, 60, 310, 300);
            const QImage& picture = preview_.Image();
            p.drawImage(QPoint(place.left() + (place.width() - picture.width()) / 2,
                               place.top() + (place.height() - picture.height()) / 2),
                        picture);
        }
    }
    QPainter out(this);
    out.drawImage(0, 0, canvas);
    out.setPen(runner::ColourOf(0xAD8E72));
    out.drawRect(0, 0, width() - 1, height() - 1);
}

void CHomePageWnd::ShowCategory(const std::wstring& name, const std::wstring& path)
{
    categoryName_ = name;
    categoryPath_ = path;
    RefillTemplates(path, L"");
    preview_.Clear();
    previewTitle_.clear();
    update();
}

void CHomePageWnd::ShowPreview(const std::wstring& path, const std::wstring& title)
{
    preview_.Clear();
    previewTitle_.clear();
    if (!path.empty() && Core()) {
        plat::WaitCursor wait;
        if (IDoxImageData* data = Core()->GetTemplatePreview(path.c_str())) {
            if (data->GetData() && data->GetSize() &&
                preview_.FromStreamPlushEx(StreamPlus(data->GetData(), data->GetSize()), QSize(300, 300), 0xFFFFFF))
                previewTitle_ = title;
            data->Release();
        }
    }
    update();
}

void CHomePageWnd::RefillTemplates(const std::wstring& path, const std::wstring& title)
{
    plat::WaitCursor wait;
    view_->DeleteAllItems();
    auto add = [this](const std::wstring& file) {
        IDoxImageData* icon = Core() ? Core()->GetTemplateIcon(file.c_str()) : nullptr;
        view_->AddItem(new CHomeViewItem(view_, UIUitl::SpliteFileTitle(file), icon, file), 0);
    };
    if (!path.empty()) {
        for (const std::wstring& name : runner::TemplateFilesIn(path)) {
            const std::wstring file = runner::JoinPath(path, name);
            if (UIUitl::CheckTemplateFile(file)) add(file);
        }
    } else if (CDoxKQRunner* app = CDoxKQRunner::App()) {
        for (int i = 0; i < app->GetRecentFileCount(); ++i) {
            const std::wstring file = app->GetRecentFile(i);
            if (!file.empty() && UIUitl::CheckTemplateFile(file)) add(file);
        }
    }
    view_->Layout();
    view_->update();
    view_->SelectTitle(title);
}

void CHomePageWnd::Refresh()
{
    std::wstring selected;
    sidebar_->GetSelectedCategory(&selected, nullptr);
    sidebar_->Refill();
    if (!sidebar_->SelectCategory(selected)) sidebar_->SelectFirstCategory();
}

void CHomePageWnd::RefreshLibrary(const std::wstring& title, const std::wstring& category)
{
    if (!sidebar_) return;
    Refresh();
    sidebar_->SelectCategory(category);
    view_->SelectTitle(title);
}

bool CHomePageWnd::OpenTemplate(const std::wstring& path) { return frame_ && frame_->OpenTemplate(path); }

bool CHomePageWnd::OnCmdMsg(unsigned id, CmdUI* ui)
{
    switch (id) {
    case ID_CATEGORY_NEW:
    case ID_LIBRARY_REFRESH:
    case ID_TEMPLATE_ADD:
    case ID_LIBRARY_BACKUP:
    case ID_LIBRARY_RESTORE:
        break;
    case ID_CATEGORY_DELETE:
        if (ui) ui->enabled = sidebar_->SelectedIsDeletableCategory();
        break;
    case ID_TEMPLATE_DELETE:
    case ID_TEMPLATE_EDIT:
        if (ui) ui->enabled = view_->Selected() != nullptr;
        break;
    default:
        return false;
    }
    if (ui) return true;
    switch (id) {
    case ID_CATEGORY_NEW: NewCategory(); break;
    case ID_CATEGORY_DELETE: DeleteCategory(); break;
    case ID_LIBRARY_REFRESH: Refresh(); break;
    case ID_TEMPLATE_ADD: AddTemplate(); break;
    case ID_TEMPLATE_DELETE: DeleteTemplate(); break;
    case ID_TEMPLATE_EDIT: EditInDesigner(); break;
    case ID_LIBRARY_BACKUP: Backup(); break;
    case ID_LIBRARY_RESTORE: Restore(); break;
    }
    return true;
}

void CHomePageWnd::OnSidebarCommand(int code)
{
    switch (code) {
    case kSidebarNewCategory: NewCategory(); break;
    case kSidebarDeleteCategory: DeleteCategory(); break;
    case kSidebarAddTemplate: AddTemplate(); break;
    case kSidebarDeleteTemplate: DeleteTemplate(); break;
    case kSidebarRefresh: Refresh(); break;
    case kSidebarBackup: Backup(); break;
    case kSidebarRestore: Restore(); break;
    case kSidebarExit:
        if (QWidget* main = window()) QMetaObject::invokeMethod(main, "close", Qt::QueuedConnection);
        break;
    }
}

void CHomePageWnd::ShowContextMenu(unsigned menuId, const QPoint& global)
{
    struct Entry {
        const wchar_t* text;
        unsigned id;
    };
    static const Entry kTemplates[] = {
        {L"添加模板(&A)", ID_TEMPLATE_ADD}, {L"删除模板(&D)", ID_TEMPLATE_DELETE}, {L"使用设计器编辑模板(&E)", ID_TEMPLATE_EDIT}};
    static const Entry kCategories[] = {{L"新建目录(&A)", ID_CATEGORY_NEW},
                                        {L"删除目录(&D)", ID_CATEGORY_DELETE},
                                        {L"刷新(&R)", ID_LIBRARY_REFRESH},
                                        {L"备份(&B)", ID_LIBRARY_BACKUP},
                                        {L"恢复(&S)", ID_LIBRARY_RESTORE}};
    QMenu menu(this);
    menu.setObjectName(QString::number(menuId));
    const bool templates = menuId == 336;
    const Entry* begin = templates ? kTemplates : kCategories;
    const Entry* end = templates ? std::end(kTemplates) : std::end(kCategories);
    for (const Entry* e = begin; e != end; ++e) {
        QAction* action = menu.addAction(Q(e->text));
        action->setData(e->id);
        CmdUI ui;
        OnCmdMsg(e->id, &ui);
        action->setEnabled(ui.enabled);
    }
    if (QAction* chosen = menu.exec(global)) OnCmdMsg(CommandIdOf(chosen), nullptr);
}

void CHomePageWnd::IdleUpdate()
{
    if (!isVisible() || !sidebar_) return;
    sidebar_->EnableCommand(kSidebarDeleteTemplate, view_->Selected() != nullptr);
    sidebar_->EnableCommand(kSidebarDeleteCategory, sidebar_->SelectedIsDeletableCategory());
    if (!view_->Selected() && !preview_.IsNull()) {
        preview_.Clear();
        previewTitle_.clear();
        update();
    }
}

void CHomePageWnd::NewCategory()
{
    const std::wstring base = LibraryFolder();
    CNewCateDlg dialog(base, this);
    if (dialog.exec() != kIdOk) return;
    if (UIUitl::CreateDirectoryW(runner::JoinPath(base, dialog.Name())))
        Refresh();
    else
        UIUitl::MessageBoxFormat(kIconError, L"新建目录“ %ls ”失败。原因：%ls", dialog.Name().c_str(),
                                 UIUitl::GetLastErrorInfo().c_str());
}

void CHomePageWnd::DeleteCategory()
{
    std::wstring name, path;
    if (!sidebar_->SelectedIsDeletableCategory() || !sidebar_->GetSelectedCategory(&name, &path)) return;
    if (UIUitl::MessageBoxFormat(kQuestion, L"删除目录将会删除该目录下所有的模板文件。\n是否确定要删除目录“ %ls ”？",
                                 name.c_str()) != kIdYes)
        return;
    std::wstring reason;
    bool removed;
    {
        plat::WaitCursor wait;
        removed = runner::RemoveFolder(path, &reason);
    }
    if (!removed) UIUitl::MessageBoxFormat(kIconError, L"删除目录“ %ls ”失败。原因：%ls", name.c_str(), reason.c_str());
    Refresh();
}

void CHomePageWnd::AddTemplate()
{
    if (categoryPath_.empty() || !Core()) return;
    UIFileDailog dialog(1, L"dxt", nullptr, OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                        L"dox template|*.dxt||", this);
    if (dialog.DoModal() != kIdOk) return;
    const std::wstring chosen = dialog.GetPathName();
    const std::wstring title = dialog.GetFileTitle();
    // A name holding '\\' could not come back from a backup whole.
    if (const std::wstring name = runner::BackslashName(chosen); !name.empty()) {
        UIUitl::MessageBoxFormat(kIconError, L"添加模板“ %ls ”失败。原因：%ls", name.c_str(), runner::kNoBackslash);
        return;
    }
    IDoxDocument* document = Core()->OpenTemplate(chosen.c_str());
    if (!document) {
        UIUitl::MessageBoxFormat(kIconError, L"添加模板“ %ls ”失败。原因：%ls", title.c_str(),
                                 Core()->GetLastErrorText());
        return;
    }
    document->Release();
    const std::wstring folder = categoryPath_;
    const std::wstring target = runner::JoinPath(folder, dialog.GetFileName());
    if (runner::SameFile(target, chosen)) {
        UIUitl::MessageBoxFormat(kIconError, L"添加模板“ %ls ”失败。原因：改模板已经存在。", title.c_str());
        return;
    }
    if (UIUitl::CheckFileExist(target) &&
        UIUitl::MessageBoxFormat(kQuestion, L"是否要覆盖“%ls”？", title.c_str()) != kIdYes)
        return;
    std::wstring reason;
    if (!runner::CopyFileReplacing(chosen, target, &reason))
        UIUitl::MessageBoxFormat(kIconError, L"添加模板“ %ls ”失败。原因：%ls", title.c_str(), reason.c_str());
    RefillTemplates(folder, title);
}

void CHomePageWnd::DeleteTemplate()
{
    CHomeViewItem* item = view_->Selected();
    if (!item) return;
    const std::wstring title = item->Title();
    const std::wstring path = item->Path();
    if (UIUitl::MessageBoxFormat(kQuestion, L"确定要删除模板“ %ls ”吗？\n文件:%ls", title.c_str(), path.c_str()) != kIdYes)
        return;
    if (!UIUitl::DeleteFileW(path))
        UIUitl::MessageBoxFormat(kIconError, L"删除模板“ %ls ”失败。原因：%ls", title.c_str(),
                                 UIUitl::GetLastErrorInfo().c_str());
    RefillTemplates(categoryPath_, L"");
}

void CHomePageWnd::EditInDesigner()
{
    CHomeViewItem* item = view_->Selected();
    CDoxKQRunner* app = CDoxKQRunner::App();
    if (!item || !app) return;
    const std::wstring designer = app->DesignerPath();
    if (!UIUitl::CheckFileExist(designer)) {
        UIUitl::MessageBoxW(kIconError, L"找不到设计器");
        return;
    }
    // The path goes as one argument, blanks and all.
    if (!QProcess::startDetached(Q(designer), {Q(item->Path())}))
        UIUitl::MessageBoxW(kIconError, L"编辑打开模板失败");
}

void CHomePageWnd::Backup()
{
    if (CDoxKQRunner* app = CDoxKQRunner::App()) BackupCommand(this, app->DataDirectory());
}

void CHomePageWnd::Restore()
{
    CDoxKQRunner* app = CDoxKQRunner::App();
    if (!app || !RestoreCommand(this, app->DataDirectory())) return;
    sidebar_->Refill();
    sidebar_->SelectFirstCategory();
}
