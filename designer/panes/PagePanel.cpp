#include "PagePanel.h"

#include "CMmEdit.h"
#include "DesignerLook.h"
#include "IDoxImageData.h"
#include "IDoxPage.h"
#include "ImagePlus.h"
#include "MyGdiX.h"
#include "StreamPlus.h"
#include "UIFileDailog.h"
#include "UIUitl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>


const wchar_t kPictureFilter[] =
    L"位图文件(*.BMP)|*.BMP|JPEG(*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF|PNG(*.PNG)|*.PNG|"
    L"GIF(*.GIF)|*.GIF|所有图片文件|*.BMP;*.JPG;*.JPEG;*.JPE;*.JFIF;*.PNG;*.GIF||";

namespace
{

// Item data of the picture list's second entry.
enum PictureEntry { kExisting = 0, kStoredFile = 1, kNewFile = 2 };

CPagePanel::PaperChooser& PaperChooserCell()
{
    static CPagePanel::PaperChooser chooser;
    return chooser;
}

std::wstring*& DefaultPrinterCell()
{
    static std::wstring* printer = nullptr;
    return printer;
}

// Through Qt, whose file names do not depend on the C locale.
bool FileExists(const std::wstring& path) { return !path.empty() && QFileInfo(QString::fromStdWString(path)).isFile(); }

CMmEdit* MmEdit(QWidget* parent, const char* id, int maximum)
{
    auto* edit = new CMmEdit(parent);
    edit->setObjectName(QString::fromLatin1(id));
    edit->SetRange(0, maximum);
    return edit;
}

// The typed value, before the edit brings it into its range.
int RawValue(const CMmEdit* edit)
{
    int value = 0;
    return CMmEdit::ParseMm(edit->text(), &value) ? value : 0;
}

QLabel* Label(QWidget* parent, const char* text, int x, int y)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(x, y + 3);
    return label;
}

} // namespace

void CPagePanel::SetPaperChooser(PaperChooser chooser) { PaperChooserCell() = std::move(chooser); }
void CPagePanel::SetDefaultPrinter(std::wstring* printer) { DefaultPrinterCell() = printer; }
std::wstring* CPagePanel::DefaultPrinter() { return DefaultPrinterCell(); }

CPagePanel::CPagePanel(const PageValues& values, IDoxPage* page, QWidget* parent)
    : UIWizardPage(parent), values_(values), page_(page), name_(new QLineEdit(this)), pictures_(new QComboBox(this)),
      browse_(new QPushButton(QStringLiteral("浏览(&B)..."), this)), width_(MmEdit(this, "1008", kPageMaxLength)),
      height_(MmEdit(this, "1009", kPageMaxLength)),
      fromPicture_(new QCheckBox(QStringLiteral("由图片确定页面大小(&D)"), this)),
      stretch_(new QCheckBox(QStringLiteral("拉伸图片(&S)"), this)),
      paper_(new QPushButton(QStringLiteral("获取打印机支持的纸张(&G)..."), this)), baseX_(MmEdit(this, "1011", 0)),
      baseY_(MmEdit(this, "1012", 0)), frame_(new QGroupBox(QStringLiteral("预览"), this))
{
    name_->setObjectName(QStringLiteral("1010"));
    pictures_->setObjectName(QStringLiteral("1007"));
    browse_->setObjectName(QStringLiteral("1021"));
    fromPicture_->setObjectName(QStringLiteral("1013"));
    stretch_->setObjectName(QStringLiteral("1032"));
    paper_->setObjectName(QStringLiteral("1023"));
    frame_->setObjectName(QStringLiteral("1025"));
    frame_->lower();

    Label(this, "页面名称:", 12, 12);
    name_->setGeometry(100, 12, 200, 22);
    Label(this, "背景图片:", 12, 42);
    pictures_->setGeometry(100, 42, 200, 22);
    browse_->setGeometry(100, 70, 100, 24);
    Label(this, "宽度(毫米):", 12, 104);
    width_->setGeometry(100, 104, 80, 22);
    Label(this, "高度(毫米):", 12, 132);
    height_->setGeometry(100, 132, 80, 22);
    fromPicture_->setGeometry(12, 160, 288, 22);
    stretch_->setGeometry(12, 184, 288, 22);
    paper_->setGeometry(12, 210, 220, 24);
    Label(this, "基点 X(毫米):", 12, 244);
    baseX_->setGeometry(100, 244, 80, 22);
    Label(this, "基点 Y(毫米):", 12, 272);
    baseY_->setGeometry(100, 272, 80, 22);
    frame_->setGeometry(316, 8, 250, 290);
    setMinimumSize(576, 306);

    setWindowTitle(QStringLiteral("页面属性 - %1").arg(QString::fromStdWString(values_.name)));
    hasPicture_ = page_ ? page_->HasBackgroundImage() != 0 : values_.hasPicture;
    name_->setMaxLength(32);
    name_->setText(QString::fromStdWString(values_.name));
    FillPictureList();
    width_->SetValue(values_.cx);
    height_->SetValue(values_.cy);
    baseX_->SetRange(0, values_.cx);
    baseX_->SetValue(values_.baseX);
    baseY_->SetRange(0, values_.cy);
    baseY_->SetValue(values_.baseY);
    stretch_->setChecked(values_.stretch);
    LoadPicture();
    UpdateChecks();

    connect(pictures_, &QComboBox::currentIndexChanged, this, [this] {
        LoadPicture();
        UpdateChecks();
    });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(paper_, &QPushButton::clicked, this, [this] { ChoosePaper(); });
    connect(fromPicture_, &QCheckBox::clicked, this, [this] { UpdateSizeEdits(); });
    connect(stretch_, &QCheckBox::clicked, this, [this] {
        values_.stretch = stretch_->isChecked();
        update();
    });
    connect(width_, &QLineEdit::textChanged, this, [this] { SizeChanged(width_, baseX_, &values_.cx); });
    connect(height_, &QLineEdit::textChanged, this, [this] { SizeChanged(height_, baseY_, &values_.cy); });
    connect(baseX_, &QLineEdit::textChanged, this, [this] {
        values_.baseX = baseX_->GetValue();
        update();
    });
    connect(baseY_, &QLineEdit::textChanged, this, [this] {
        values_.baseY = baseY_->GetValue();
        update();
    });
}

void CPagePanel::FillPictureList()
{
    QSignalBlocker block(pictures_);
    pictures_->clear();
    pictures_->addItem(QStringLiteral("<无底图>"));
    int selection = 0;
    if (FileExists(values_.picture)) {
        pictures_->addItem(QString::fromStdWString(values_.picture), kStoredFile);
        if (hasPicture_)
            selection = 1;
    } else if (hasPicture_) {
        pictures_->addItem(QStringLiteral("<现有底图>"), kExisting);
        selection = 1;
        existingMeant_ = true;
    }
    pictures_->setCurrentIndex(selection);
    initialChoice_ = selection;
}

void CPagePanel::LoadPicture()
{
    existingMeant_ = false;
    openFailed_ = false;
    preview_ = QImage();
    pictureSize_ = QSize();
    if (pictures_->currentIndex() == 1) {
        ImagePlus image;
        bool opened = false;
        const int entry = pictures_->itemData(1).toInt();
        if (entry == kExisting) {
            existingMeant_ = true;
            if (IDoxImageData* data = page_ ? page_->GetBackgroundImage() : nullptr) {
                StreamPlus stream(data->GetData(), data->GetSize());
                data->Release();
                opened = image.Open(stream);
            }
        } else {
            opened = image.Open(pictures_->itemText(1).toStdWString());
            openFailed_ = !opened;
        }
        if (opened) {
            existingMeant_ = false;
            pictureSize_ = QSize(MyGdiX::MapImageSize(2, image.GetHDPI(), image.GetSize().width()),
                                 MyGdiX::MapImageSize(2, image.GetVDPI(), image.GetSize().height()));
            preview_ = image.Image();
            if (fromPicture_->isChecked()) {
                width_->SetValue(pictureSize_.width());
                height_->SetValue(pictureSize_.height());
            }
        }
    }
    update();
}

void CPagePanel::UpdateChecks()
{
    const int selection = pictures_->currentIndex();
    const bool existing = selection == 1 && pictures_->itemData(1).toInt() == kExisting;
    if (selection <= 0 || (existing && !page_)) {
        fromPicture_->setChecked(false);
        fromPicture_->setEnabled(false);
    } else {
        fromPicture_->setEnabled(true);
    }
    UpdateSizeEdits();
}

void CPagePanel::UpdateSizeEdits()
{
    const bool locked = fromPicture_->isChecked();
    width_->setEnabled(!locked);
    height_->setEnabled(!locked);
    paper_->setEnabled(!locked);
    if (locked && !pictureSize_.isEmpty()) {
        width_->SetValue(pictureSize_.width());
        height_->SetValue(pictureSize_.height());
    }
    update();
}

void CPagePanel::SizeChanged(const CMmEdit* size, CMmEdit* base, int* length)
{
    // The base point stays on the page: beyond the new length it goes back to 0.
    *length = size->GetValue();
    base->SetRange(0, *length);
    if (RawValue(base) > *length)
        base->SetValue(0);
    update();
}

void CPagePanel::Browse()
{
    std::wstring initial;
    if (pictures_->count() > 1 && pictures_->itemData(1).toInt() != kExisting)
        initial = pictures_->itemText(1).toStdWString();
    UIFileDailog dialog(1, nullptr, initial.c_str(), 0x800006, kPictureFilter, this);
    dialog.SetFilterIndex(5);
    if (dialog.DoModal() == 1) {
        const std::wstring path = dialog.GetPathName();
        if (FileExists(path)) {
            QSignalBlocker block(pictures_);
            if (pictures_->count() > 1)
                pictures_->removeItem(1);
            pictures_->addItem(QString::fromStdWString(path), kNewFile);
            pictures_->setCurrentIndex(1);
            LoadPicture();
        } else {
            UIUitl::MessageBoxFormat(64, L"“%ls” 不存在或者无法打开。", path.c_str());
        }
    }
    UpdateChecks();
}

void CPagePanel::ChoosePaper()
{
    PaperChooser& chooser = PaperChooserCell();
    if (!chooser)
        return;
    std::wstring* defaultPrinter = DefaultPrinterCell();
    std::wstring printer = defaultPrinter ? *defaultPrinter : std::wstring();
    int cx = 0, cy = 0;
    if (!chooser(this, &printer, &cx, &cy))
        return;
    width_->SetValue(cx);
    height_->SetValue(cy);
    if (defaultPrinter)
        *defaultPrinter = printer;
}

bool CPagePanel::OnKillActive()
{
    const int selection = pictures_->currentIndex();
    if (selection <= 0) {
        values_.pictureChanged = initialChoice_ != 0;
        values_.picture.clear();
        values_.sizeFromPicture = false;
    } else {
        const int entry = pictures_->itemData(1).toInt();
        values_.pictureChanged = selection != initialChoice_ || entry == kNewFile;
        if (entry == kExisting) {
            values_.picture.clear();
            values_.sizeFromPicture = false;
        } else {
            values_.picture = pictures_->itemText(1).toStdWString();
            values_.sizeFromPicture = fromPicture_->isChecked();
        }
    }
    values_.stretch = stretch_->isChecked();
    values_.name = name_->text().toStdWString();
    values_.cx = width_->GetValue();
    values_.cy = height_->GetValue();
    values_.baseX = baseX_->GetValue();
    values_.baseY = baseY_->GetValue();
    if (values_.cx < kPageMinLength || values_.cx > kPageMaxLength || values_.cy < kPageMinLength ||
        values_.cy > kPageMaxLength) {
        UIUitl::MessageBoxFormat(64, L"页面参数设置不正确。页面的长度和宽度必须在%.14g-%.14g毫米的范围内。",
                                 kPageMinLength / 10.0, kPageMaxLength / 10.0);
        return false;
    }
    if (values_.baseX < 0 || values_.baseX > values_.cx || values_.baseY < 0 || values_.baseY > values_.cy) {
        UIUitl::MessageBoxW(64, L"基点的位置必须在页面的范围之内。");
        return false;
    }
    return true;
}

void CPagePanel::resizeEvent(QResizeEvent*)
{
    // The preview frame less 5 pixels left, right and bottom and 15 at the top, made
    // square and centred.
    const QRect f = frame_->geometry();
    QRect inner(f.left() + 5, f.top() + 15, f.width() - 10, f.height() - 20);
    const int side = std::min(inner.width(), inner.height());
    square_ = QRect(inner.left() + (inner.width() - side) / 2, inner.top() + (inner.height() - side) / 2, side, side);
}

QRect CPagePanel::PreviewPage() const
{
    const int cx = width_->GetValue(), cy = height_->GetValue();
    if (cx <= 0 || cy <= 0 || square_.isEmpty())
        return QRect();
    const double scale = square_.width() / 6000.0;
    const QRect inner = square_.adjusted(10, 10, -10, -10);
    const double w = cx * scale, h = cy * scale;
    const double g = std::max(w, h), l = inner.width();
    double m = 1;
    if (3 * g < l)
        m = 3;
    else if (2 * g < l)
        m = 2.5;
    else if (3 * g < 2 * l)
        m = 2;
    else if (4 * g < 3 * l)
        m = 1.5;
    const int pw = static_cast<int>(w * m + 0.5), ph = static_cast<int>(h * m + 0.5);
    return QRect(inner.left() + (inner.width() - pw) / 2, inner.top() + (inner.height() - ph) / 2, pw, ph);
}

void CPagePanel::paintEvent(QPaintEvent*)
{
    const QRect pageRect = PreviewPage();
    if (pageRect.isEmpty())
        return;
    QImage off(square_.size(), QImage::Format_RGB32);
    QPainter p(&off);
    const COLORREF face = designer::FaceColor();
    p.fillRect(off.rect(), QColor(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF));
    const QRect page = pageRect.translated(-square_.topLeft());
    p.fillRect(page, Qt::white);
    const double scale = square_.width() / 6000.0;
    const double m = page.width() / std::max(1.0, width_->GetValue() * scale);
    if (!preview_.isNull()) {
        QRect target = page;
        if (!stretch_->isChecked())
            target = QRect(page.topLeft(), QSize(static_cast<int>(pictureSize_.width() * scale * m + 0.5),
                                                  static_cast<int>(pictureSize_.height() * scale * m + 0.5)));
        p.save();
        p.setClipRect(page);
        p.drawImage(target, preview_);
        p.restore();
    } else if (existingMeant_ || openFailed_) {
        p.setPen(QColor(49, 97, 161));
        p.setFont(designer::InterfaceQFont());
        p.drawText(page, Qt::AlignCenter | Qt::TextSingleLine,
                   existingMeant_ ? QStringLiteral("现有底图") : QStringLiteral("无法打开图片"));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(page.adjusted(0, 0, -1, -1));
    p.setPen(QPen(QColor(0, 0, 255), 1, Qt::DotLine));
    const int bx = page.left() + static_cast<int>(baseX_->GetValue() * scale * m);
    const int by = page.top() + static_cast<int>(baseY_->GetValue() * scale * m);
    p.drawLine(bx, page.top(), bx, page.bottom());
    p.drawLine(page.left(), by, page.right(), by);
    p.end();
    QPainter screen(this);
    screen.drawImage(square_.topLeft(), off);
}

// ---- The sheet.

CPageProperty::CPageProperty(int mode, const PageValues& values, IDoxPage* page, QWidget* parent)
    : UIWizardSheet(parent), mode_(mode), panel_(new CPagePanel(values, page))
{
    setWindowTitle(mode_ == 1 ? QStringLiteral("新建页面") : QStringLiteral("页面属性"));
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->setContentsMargins(0, designer::kHintBandHeight, 0, 8);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("1017"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFixedHeight(1);
    layout->addWidget(separator);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("2"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CPageProperty::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    AddPage(panel_);
}

const PageValues& CPageProperty::Values() const { return panel_->Values(); }

bool CPageProperty::OnInitDialog() { return SetActivePage(0); }

void CPageProperty::accept()
{
    if (panel_->OnKillActive())
        UIWizardSheet::accept();
}

void CPageProperty::paintEvent(QPaintEvent*)
{
    designer::PaintHintBand(this, mode_ == 1 ? QStringLiteral("设置新建页面的尺寸和背景图片。")
                                             : QStringLiteral("查看和修改页面属性。"));
}
