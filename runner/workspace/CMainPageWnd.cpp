#include "Workspace.h"

#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "GdiObjects.h"
#include "IDoxPage.h"
#include "UIUitl.h"
#include "WorkspaceViews.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QString>

#include <filesystem>
#include <system_error>

namespace
{

std::filesystem::path FsPath(const std::wstring& text)
{
    const QByteArray utf8 = QString::fromStdWString(text).toUtf8();
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                                               static_cast<size_t>(utf8.size())));
}

// Two names of one file, as the file system tells them apart: letter case counts,
// "." and ".." and links do not.
bool SameTemplateFile(const std::wstring& a, const std::wstring& b)
{
    std::error_code error;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(FsPath(a), error);
    if (error)
        return a == b;
    const std::filesystem::path cb = std::filesystem::weakly_canonical(FsPath(b), error);
    if (error)
        return a == b;
    return ca == cb;
}

// The search icon: a magnifying glass on magenta, which shows through.
CBitmap SearchIcon()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x40, 0x58, 0x80), 2));
    painter.drawEllipse(QRect(2, 2, 8, 8));
    painter.drawLine(10, 10, 14, 14);
    painter.end();
    CBitmap bitmap;
    bitmap.Attach(image);
    return bitmap;
}

} // namespace

CSearchPane::CSearchPane(QWidget* parent) : QWidget(parent), search_(new CSearchCtrl(this))
{
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("搜索"));
    setMinimumHeight(26);
    search_->Create(0x50000000, RECT{0, 2, 290, 24}, this, 1);
    search_->SetSearchIcon(SearchIcon(), 0xFF00FF);
    search_->setEnabled(false);
}

CSearchPane::~CSearchPane() = default;

void CSearchPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    search_->setGeometry(width() - 300, 2, 290, std::max(0, height() - 4));
}

CMainPageWnd::CMainPageWnd(IWorkspaceHost* host, CSearchPane* searchPane, QWidget* parent)
    : UITabCtrl(parent, true), host_(host), client_(new CMainClient(this, host->Core()))
{
    if (searchPane)
        client_->List()->SetSearchBox(searchPane->SearchBox());
    client_->hide();
}

CMainPageWnd::~CMainPageWnd()
{
    CloseTemplateDocument();
}

bool CMainPageWnd::OpenTemplateDocument(const std::wstring& path)
{
    if (document_ && SameTemplateFile(path, path_)) {
        client_->NewBill();
        return true;
    }
    CloseTemplateDocument();
    const std::wstring database = host_->DataDirectory() + L"/doxcore.db";
    IDoxDocument* document = host_->Core()->OpenComplex(database.c_str(), path.c_str());
    if (document_)
        document_->Release();
    document_ = document;
    if (!document_) {
        UIUitl::MessageBoxFormat(16, L"打开失败! %ls", host_->Core()->GetLastErrorText());
        host_->ShowHomePage();
        return false;
    }
    busy_ = true;
    for (int i = 0; i < document_->GetPageCount(); ++i) {
        IDoxPage* page = document_->GetPage(i);
        AddTab(client_, page ? page->GetName() : L"");
    }
    client_->show();
    busy_ = false;
    SetActiveTab(0);
    SetDocumentTitle(path);
    host_->AddRecentFile(path);
    client_->NewBill();
    return true;
}

void CMainPageWnd::CloseTemplateDocument()
{
    busy_ = true;
    RemoveAllTabs();
    busy_ = false;
    client_->PageView()->DetachPageFromView();
    client_->List()->ClearBillList();
    client_->hide();
    if (document_)
        document_->Release();
    document_ = nullptr;
    SetDocumentTitle(L"");
}

void CMainPageWnd::ShowTabQuietly(int index)
{
    busy_ = true;
    SetActiveTab(index);
    busy_ = false;
}

void CMainPageWnd::SetDocumentTitle(const std::wstring& path)
{
    path_ = path;
    const size_t slash = path.find_last_of(L"\\");
    const size_t cut = slash != std::wstring::npos ? slash : path.find_last_of(L'/');
    fileName_ = cut == std::wstring::npos ? path : path.substr(cut + 1);
    host_->SetDocumentTitle(fileName_);
}

bool CMainPageWnd::OnCmdMsg(unsigned id, bool* enabled)
{
    return client_->OnCmdMsg(id, enabled);
}
