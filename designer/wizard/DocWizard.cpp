#include "DocWizard.h"

#include "BitmapPlus.h"
#include "DesignerLook.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxImageData.h"
#include "ImagePlus.h"
#include "StreamPlus.h"
#include "UIFileDailog.h"
#include "UIUitl.h"
#include "UIWinApp.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cwctype>

namespace
{

// Paths are joined with the platform's separator; "\" and "/" both end a folder.
constexpr wchar_t kSeparator = L'/';

constexpr COLORREF kWhite = 0xFFFFFF;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring TrimSeparators(std::wstring folder)
{
    while (!folder.empty() && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

// Through Qt, whose file names do not depend on the C locale.
bool Exists(const std::wstring& path) { return QFileInfo::exists(QString::fromStdWString(path)); }

bool IsFolder(const std::wstring& path) { return QFileInfo(QString::fromStdWString(path)).isDir(); }

std::wstring NameWith(const std::wstring& folder, int i)
{
    return folder + kSeparator + L"新建模板" + std::to_wstring(i) + L".dxt";
}

// "abc.dxt" (any letter case) has the extension; "abc.dxtx" and "dxt" do not.
bool HasTemplateExtension(const std::wstring& name)
{
    if (name.size() < 4 || name[name.size() - 4] != L'.')
        return false;
    const std::wstring ext = name.substr(name.size() - 3);
    return std::towlower(ext[0]) == L'd' && std::towlower(ext[1]) == L'x' && std::towlower(ext[2]) == L't';
}

std::wstring CurrentPath()
{
    UIWinApp* app = UIWinApp::Instance();
    if (app && !app->GetCurrentPath().empty())
        return TrimSeparators(app->GetCurrentPath());
    return QDir::currentPath().toStdWString();
}

QImage WizardPicture(int page)
{
    QImage image(120, 280, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 280);
    fill.setColorAt(0, QColor(2, 102, 170));
    fill.setColorAt(1, page == 0 ? QColor(120, 190, 230) : QColor(150, 210, 170));
    p.fillRect(image.rect(), fill);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::white);
    p.drawRect(30, 60, 60, 80); // a sheet of paper
    p.setPen(QPen(QColor(2, 102, 170), 2));
    for (int y = 76; y < 130; y += 12)
        p.drawLine(38, y, page == 0 ? 82 : 62, y);
    if (page == 1)
        p.drawRect(66, 110, 18, 20);
    return image;
}

} // namespace

std::wstring ProposeTemplateName(const std::wstring& folder)
{
    const std::wstring base = TrimSeparators(folder);
    int i = 1;
    for (int tries = 0; tries < 4095; ++tries) {
        if (!Exists(NameWith(base, i)))
            return NameWith(base, i);
        if (i % 16 == 15 && Exists(NameWith(base, i + 16)))
            i += 16;
        ++i;
    }
    return NameWith(base, 1);
}

// ---- Page one.

CDocPanel::CDocPanel(QWidget* parent)
    : UIWizardPage(parent), folder_(new QLineEdit(this)), file_(new QLineEdit(this)),
      library_(new QCheckBox(QStringLiteral("放入模板库(&T)"), this)), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("模板"));
    folder_->setObjectName(QStringLiteral("1009"));
    file_->setObjectName(QStringLiteral("1020"));
    library_->setObjectName(QStringLiteral("1022"));
    list_->setObjectName(QStringLiteral("1016"));
    auto* browse = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    browse->setObjectName(QStringLiteral("1021"));

    auto* folderLabel = new QLabel(QStringLiteral("存放目录:"), this);
    auto* fileLabel = new QLabel(QStringLiteral("文件名称:"), this);
    folderLabel->setGeometry(12, 14, 80, 20);
    folder_->setGeometry(92, 12, 330, 22);
    browse->setGeometry(430, 11, 100, 24);
    fileLabel->setGeometry(12, 46, 80, 20);
    file_->setGeometry(92, 44, 330, 22);
    library_->setGeometry(12, 80, 300, 22);
    list_->setGeometry(12, 106, 518, 170);
    setMinimumSize(540, 286);

    SetPath(ProposeTemplateName(CurrentPath()));
    library_->setChecked(false);
    list_->setEnabled(false);
    connect(library_, &QCheckBox::clicked, this, [this] { list_->setEnabled(library_->isChecked()); });
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
}

void CDocPanel::SetPath(const std::wstring& path)
{
    size_t cut = path.find_last_of(L"\\/");
    const size_t split = cut == std::wstring::npos ? 0 : cut + 1;
    folder_->setText(QString::fromStdWString(path.substr(0, split)));
    file_->setText(QString::fromStdWString(path.substr(split)));
}

void CDocPanel::Browse()
{
    const std::wstring initial =
        TrimSeparators(folder_->text().toStdWString()) + kSeparator + file_->text().toStdWString();
    UIFileDailog dialog(1, L"dxt", initial.c_str(), 0x800006, L"dox template|*.dxt||", this);
    dialog.SetTitle(L"新建模板文件");
    dialog.SetOKButtonText(L"确定");
    if (dialog.DoModal() != 1)
        return;
    SetPath(dialog.GetPathName());
    if (UIWinApp* app = UIWinApp::Instance())
        app->SetCurrentPath(folder_->text().toStdWString());
}

bool CDocPanel::OnKillActive()
{
    const std::wstring folder = TrimSeparators(folder_->text().trimmed().toStdWString());
    if (folder.empty()) {
        UIUitl::MessageBoxW(64, L"模板存放的目录不正确。");
        return false;
    }
    if (!IsFolder(folder)) {
        UIUitl::MessageBoxW(64, L"模板存放的目录不存在。");
        return false;
    }
    std::wstring name = file_->text().trimmed().toStdWString();
    if (name.empty()) {
        UIUitl::MessageBoxW(64, L"请输入模板文件名称。");
        file_->setFocus();
        return false;
    }
    if (!HasTemplateExtension(name)) {
        name += L".dxt";
        file_->setText(QString::fromStdWString(name));
    }
    const std::wstring path = folder + kSeparator + name;
    if (Exists(path) &&
        UIUitl::MessageBoxFormat(33, L"“%ls” 这个文件已经存在。\n\n是否替换已有的文件?", path.c_str()) != 1)
        return false;
    path_ = path;
    return true;
}

// ---- The wizard.

CDocWizard::CDocWizard(QWidget* parent)
    : UIWizardSheet(parent), docPanel_(new CDocPanel), next_(new QPushButton(this)),
      previous_(new QPushButton(QStringLiteral("< 上一步(&P)"), this)), picture_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("新建模板向导"));
    PageValues first;
    first.name = L"默认页面";
    first.cx = 2100;
    first.cy = 2970;
    pagePanel_ = new CPagePanel(first);
    next_->setObjectName(QStringLiteral("1"));
    next_->setDefault(true);
    previous_->setObjectName(QStringLiteral("1018"));
    picture_->setObjectName(QStringLiteral("1026"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("2"));

    // The picture on the left of the pages, a one-pixel separator over the buttons.
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->setContentsMargins(0, designer::kHintBandHeight, 0, 8);
    QWidget* area = PageArea();
    outer->removeWidget(area);
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(8, 8, 8, 8);
    middle->addWidget(picture_, 0, Qt::AlignTop);
    middle->addWidget(area, 1);
    outer->addLayout(middle);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("1017"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFixedHeight(1);
    outer->addWidget(separator);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 8, 8, 0);
    buttons->addStretch();
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    pictures_[0] = WizardPicture(0);
    pictures_[1] = WizardPicture(1);
    AddPage(docPanel_);
    AddPage(pagePanel_);
    connect(next_, &QPushButton::clicked, this, [this] { Next(); });
    connect(previous_, &QPushButton::clicked, this, [this] { Previous(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

bool CDocWizard::OnInitDialog()
{
    const bool shown = SetActivePage(0);
    UpdateButtons();
    return shown;
}

void CDocWizard::UpdateButtons()
{
    const bool first = GetActiveIndex() <= 0;
    next_->setText(first ? QStringLiteral("下一步(&N)>") : QStringLiteral("完成"));
    previous_->setVisible(!first);
    previous_->setEnabled(!first);
    picture_->setPixmap(QPixmap::fromImage(pictures_[first ? 0 : 1]));
    update();
}

void CDocWizard::Next()
{
    if (GetActiveIndex() <= 0) {
        if (GetActiveIndex() < 0)
            SetActivePage(0);
        SetActivePage(1);
    } else if (pagePanel_->OnKillActive()) {
        accept();
    }
    UpdateButtons();
}

void CDocWizard::Previous()
{
    if (GetActiveIndex() == 1)
        SetActivePage(0, false);
    UpdateButtons();
}

void CDocWizard::paintEvent(QPaintEvent*)
{
    designer::PaintHintBand(this, GetActiveIndex() == 1 ? QStringLiteral("设置默认页面的尺寸和背景图片。")
                                                        : QStringLiteral("设置模板文件名称和存放路径。"));
}

// ---- The template's icon.

CStaticIcon::CStaticIcon(QWidget* parent) : QWidget(parent) { setFixedSize(96, 96); }

void CStaticIcon::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void CStaticIcon::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    if (!picture_.isNull())
        p.drawImage(rect(), picture_);
}

CFilePropertyDlg::CFilePropertyDlg(const std::wstring& path, IDoxDocument* document, IDoxCore* core, QWidget* parent)
    : QDialog(parent), path_(path), document_(document), core_(core), icon_(new CStaticIcon(this))
{
    setWindowTitle(QStringLiteral("模板属性"));
    auto* pathLabel = new QLabel(QStringLiteral("模板文件:"), this);
    auto* edit = new QLineEdit(QString::fromStdWString(path_), this);
    edit->setObjectName(QStringLiteral("1008"));
    edit->setReadOnly(true);
    icon_->setObjectName(QStringLiteral("1026"));
    auto* set = new QPushButton(QStringLiteral("设置图标(&S)"), this);
    set->setObjectName(QStringLiteral("1012"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("2"));
    pathLabel->setGeometry(12, 66, 80, 22);
    edit->setGeometry(92, 66, 340, 22);
    icon_->move(92, 100);
    set->setGeometry(200, 100, 110, 26);
    ok->setGeometry(276, 214, 75, 26);
    cancel->setGeometry(357, 214, 75, 26);
    resize(444, 250);
    connect(set, &QPushButton::clicked, this, [this] { SetIcon(); });
    connect(ok, &QPushButton::clicked, this, &CFilePropertyDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (IDoxImageData* data = document_ ? document_->GetIcon() : nullptr) {
        const StreamPlus stream(data->GetData(), data->GetSize());
        data->Release();
        if (bitmap_.FromStreamPlushEx(stream, QSize(96, 96), kWhite))
            icon_->SetPicture(bitmap_.Image());
    }
}

void CFilePropertyDlg::SetIcon()
{
    UIFileDailog dialog(1, nullptr, nullptr, 0x800006, kPictureFilter, this);
    dialog.SetFilterIndex(5);
    if (dialog.DoModal() != 1)
        return;
    const std::wstring file = dialog.GetPathName();
    BitmapPlus picture;
    if (!picture.FromFileEx(file, QSize(96, 96), kWhite)) {
        UIUitl::MessageBoxFormat(64, L"“%ls” 图片文件无法打开。", file.c_str());
        return;
    }
    bitmap_ = picture;
    icon_->SetPicture(bitmap_.Image());
    iconChanged_ = true;
}

void CFilePropertyDlg::accept()
{
    if (iconChanged_ && document_) {
        ImagePlus image;
        StreamPlus stream;
        BufferPlus buffer;
        if (image.Open(bitmap_) && image.Save(stream) && buffer.Open(stream) &&
            !document_->SetIconFromData(buffer.GetData(), static_cast<uint32_t>(buffer.GetSize())))
            UIUitl::MessageBoxFormat(64, L"设置模板图标失败，原因:%ls", core_ ? core_->GetLastErrorText() : L"");
    }
    QDialog::accept();
}

void CFilePropertyDlg::paintEvent(QPaintEvent*) { designer::PaintHintBand(this, QStringLiteral("模板属性。")); }
