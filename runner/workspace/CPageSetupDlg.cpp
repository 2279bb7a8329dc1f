#include "CPageSetupDlg.h"

#include "CMmEdit.h"
#include "DevMode.h"
#include "PageSetup.h"
#include "Printers.h"
#include "PrinterSettings.h"
#include "UIUitl.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CPageSetupDlg::CPageSetupDlg(PageSetupRecord& record, const std::wstring& printerName, QWidget* parent)
    : CHeaderDialog(QStringLiteral("页面设置"), QStringLiteral("设置纸张大小方向及页边距。"), parent),
      record_(record),
      printerName_(printerName),
      paperBox_(Named(new QComboBox(this), 1002)),
      widthEdit_(Named(new CMmEdit(this), 1006)),
      heightEdit_(Named(new CMmEdit(this), 1007)),
      leftEdit_(Named(new CMmEdit(this), 1013)),
      topEdit_(Named(new CMmEdit(this), 1014)),
      spacingEdit_(Named(new CMmEdit(this), 1000)),
      portrait_(Named(new QRadioButton(QStringLiteral("纵向(&O)"), this), 1003)),
      landscape_(Named(new QRadioButton(QStringLiteral("横向(&A)"), this), 1004)),
      preview_(Named(new QWidget(this), 1015)),
      printerLabel_(Named(new QLabel(this), 1016)),
      paperNote_(new QLabel(this))
{
    paperNote_->setObjectName(QStringLiteral("paperNote"));
    paperNote_->setWordWrap(true);
    paperNote_->hide();
    widthEdit_->SetRange(1, 9999);
    heightEdit_->SetRange(1, 9999);
    leftEdit_->SetRange(-999, 999);
    topEdit_->SetRange(-999, 999);
    spacingEdit_->SetRange(0, 999);
    preview_->setMinimumSize(170, 190);
    preview_->installEventFilter(this);

    QGridLayout* grid = Grid();
    auto* paper = new QGroupBox(QStringLiteral("纸张"), this);
    auto* paperGrid = new QGridLayout(paper);
    paperGrid->addWidget(Caption(QStringLiteral("大小(&Z):"), paperBox_), 0, 0);
    paperGrid->addWidget(paperBox_, 0, 1, 1, 3);
    paperGrid->addWidget(Caption(QStringLiteral("宽度(&W):"), widthEdit_), 1, 0);
    paperGrid->addWidget(widthEdit_, 1, 1);
    paperGrid->addWidget(Caption(QStringLiteral("高度(&H):"), heightEdit_), 1, 2);
    paperGrid->addWidget(heightEdit_, 1, 3);
    paperGrid->addWidget(paperNote_, 2, 0, 1, 4);
    auto* orientation = new QGroupBox(QStringLiteral("方向"), this);
    auto* orientationBox = new QVBoxLayout(orientation);
    orientationBox->addWidget(portrait_);
    orientationBox->addWidget(landscape_);
    auto* margins = new QGroupBox(QStringLiteral("偏移(毫米)"), this);
    auto* marginGrid = new QGridLayout(margins);
    marginGrid->addWidget(Caption(QStringLiteral("左(&L):"), leftEdit_), 0, 0);
    marginGrid->addWidget(leftEdit_, 0, 1);
    marginGrid->addWidget(Caption(QStringLiteral("上(&T):"), topEdit_), 0, 2);
    marginGrid->addWidget(topEdit_, 0, 3);
    marginGrid->addWidget(Caption(QStringLiteral("页间距(&S):"), spacingEdit_), 1, 0);
    marginGrid->addWidget(spacingEdit_, 1, 1);
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), 2);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("打印机:"), this));
    buttons->addWidget(printerLabel_, 1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addWidget(paper, 0, 0, 1, 2);
    grid->addWidget(orientation, 1, 0);
    grid->addWidget(margins, 1, 1);
    grid->addWidget(preview_, 0, 2, 2, 1);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(paperBox_, &QComboBox::activated, this, &CPageSetupDlg::SelectPaper);
    auto keep = [this](CMmEdit* edit, int* value, bool paperSize) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit, value, paperSize] {
            *value = edit->GetValue();
            const int index = paperBox_->currentIndex();
            if (paperSize && index >= 0 && papers_[static_cast<size_t>(index)].custom) {
                PagerSize& custom = papers_[static_cast<size_t>(index)];
                custom.width = width_;
                custom.height = height_;
            }
            if (paperSize)
                ShowPaperNote();
            preview_->update();
        });
    };
    keep(widthEdit_, &width_, true);
    keep(heightEdit_, &height_, true);
    keep(leftEdit_, &left_, false);
    keep(topEdit_, &top_, false);
    keep(spacingEdit_, &spacing_, false);
    connect(portrait_, &QRadioButton::clicked, this, [this] { SetOrientation(1); });
    connect(landscape_, &QRadioButton::clicked, this, [this] { SetOrientation(2); });
    connect(ok, &QPushButton::clicked, this, &CPageSetupDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ready_ = Initialise();
}

int CPageSetupDlg::exec()
{
    if (!ready_)
        return 0;
    return CHeaderDialog::exec();
}

bool CPageSetupDlg::Initialise()
{
    plat::WaitCursor wait;
    if (printerName_.empty())
        printerName_ = plat::DefaultPrinterName().toStdWString();
    const QString printer = QString::fromStdWString(printerName_);
    printerLabel_->setText(printer);
    printer_ = plat::DescribePrinter(printer);
    if (!printer_.exists) {
        UIUitl::MessageBoxFormat(16, L"打开打印机失败:%ls，请确认是否正确安装打印机。", printerName_.c_str());
        return false;
    }
    const std::vector<plat::PrinterPaper>& offered = printer_.papers;
    if (offered.empty()) {
        UIUitl::MessageBoxFormat(16, L"获取页面信息失败:%ls", printerName_.c_str());
        return false;
    }
    papers_.push_back({L"模板页面", DMPAPER_USER, record_.templateWidth, record_.templateHeight, false});
    for (const plat::PrinterPaper& p : offered)
        papers_.push_back({p.name.left(64).toStdWString(), p.id, p.width, p.height, p.id == DMPAPER_USER});
    if (!record_.set) {
        record_.Orientation = plat::DefaultDevMode(printer_).dmOrientation;
        record_.PaperSize = DMPAPER_USER;
        record_.PaperWidth = record_.templateWidth;
        record_.PaperHeight = record_.templateHeight;
        record_.set = 1;
    }
    orientation_ = record_.Orientation == 2 ? 2 : 1;
    paperId_ = record_.PaperSize;
    width_ = record_.PaperWidth;
    height_ = record_.PaperHeight;
    left_ = record_.LeftOffset;
    top_ = record_.TopOffset;
    spacing_ = record_.PageSpacing;
    for (const PagerSize& p : papers_)
        paperBox_->addItem(QString::fromStdWString(p.name));

    int chosen = -1;
    for (size_t i = 0; i < papers_.size() && chosen < 0; ++i) {
        if (papers_[i].width == width_ && papers_[i].height == height_ && papers_[i].id == paperId_)
            chosen = static_cast<int>(i);
    }
    for (size_t i = 0; i < papers_.size() && chosen < 0; ++i) {
        if (papers_[i].custom) {
            // The stored size lives on in the printer's own user paper.
            papers_[i].id = paperId_;
            papers_[i].width = width_;
            papers_[i].height = height_;
            chosen = static_cast<int>(i);
        }
    }
    SelectPaper(std::max(chosen, 0));
    SetOrientation(orientation_);
    leftEdit_->SetValue(left_);
    topEdit_->SetValue(top_);
    spacingEdit_->SetValue(spacing_);
    return true;
}

void CPageSetupDlg::SelectPaper(int index)
{
    if (index < 0 || index >= static_cast<int>(papers_.size()))
        return;
    paperBox_->setCurrentIndex(index);
    const PagerSize& paper = papers_[static_cast<size_t>(index)];
    paperId_ = paper.id;
    if (paper.width && paper.height) {
        width_ = paper.width;
        height_ = paper.height;
    }
    widthEdit_->SetValue(width_);
    heightEdit_->SetValue(height_);
    widthEdit_->setReadOnly(!paper.custom);
    heightEdit_->setReadOnly(!paper.custom);
    ShowPaperNote();
    preview_->update();
}

QString CPageSetupDlg::PaperNote() const
{
    if (paperId_ != DMPAPER_USER)
        return QString();
    plat::PrinterPaper paper;
    const plat::PaperFit fit = plat::PaperForPage(printer_, width_, height_, &paper);
    // The paper by the printer's name for it and its size, as the sheet to put in.
    const QString sheet = QStringLiteral("“%1”(%2×%3 毫米)")
                              .arg(paper.name, QString::number(paper.width / 10.0, 'f', 1),
                                   QString::number(paper.height / 10.0, 'f', 1));
    switch (fit) {
    case plat::PaperFit::Nearest:
        return QStringLiteral("打印机不支持此纸张大小，将打印在能容下页面的最小纸张%1上。").arg(sheet);
    case plat::PaperFit::Default:
        return QStringLiteral("打印机不支持此纸张大小，也没有能容下页面的纸张，将打印在默认纸张%1上。").arg(sheet);
    default:
        return QString();
    }
}

void CPageSetupDlg::ShowPaperNote()
{
    const QString note = PaperNote();
    paperNote_->setText(note);
    paperNote_->setVisible(!note.isEmpty());
}

void CPageSetupDlg::SetOrientation(int orientation)
{
    orientation_ = orientation;
    portrait_->setChecked(orientation == 1);
    landscape_->setChecked(orientation == 2);
    previewFont_ = QFont(QStringLiteral("verdana"));
    previewFont_.setPixelSize(24);
    preview_->update();
}

void CPageSetupDlg::OnOk()
{
    if (width_ == 0 || height_ == 0)
        return;
    record_.PaperSize = paperId_;
    record_.PaperWidth = width_;
    record_.PaperHeight = height_;
    record_.Orientation = orientation_;
    record_.LeftOffset = left_;
    record_.TopOffset = top_;
    record_.PageSpacing = spacing_;
    done(1);
}

bool CPageSetupDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == preview_ && event->type() == QEvent::Paint) {
        PaintPreview(preview_);
        return true;
    }
    return CHeaderDialog::eventFilter(watched, event);
}

void CPageSetupDlg::PaintPreview(QWidget* frame)
{
    QPainter painter(frame);
    QRect area = frame->rect().adjusted(5, 15, -5, -5);
    const int side = std::min(area.width(), area.height());
    QRect square(area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2, side, side);
    painter.fillRect(square, palette().color(QPalette::Button));
    painter.setClipRect(square);
    if (width_ <= 0 || height_ <= 0)
        return;
    // The sheet turned as it comes out of the printer, scaled into the square.
    double w = orientation_ == 2 ? height_ : width_;
    double h = orientation_ == 2 ? width_ : height_;
    const QRect inner = square.adjusted(30, 30, -30, -30);
    const double scale = std::min(inner.width() / w, inner.height() / h);
    const QSize sheetSize(static_cast<int>(w * scale), static_cast<int>(h * scale));
    const QRect sheet(inner.center().x() - sheetSize.width() / 2, inner.center().y() - sheetSize.height() / 2,
                      sheetSize.width(), sheetSize.height());
    painter.fillRect(sheet, Qt::white);
    // COLORREF 0xC6844E and 0xB27F6D.
    painter.setPen(QColor(0x4E, 0x84, 0xC6));
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(0x6D, 0x7F, 0xB2));
    painter.drawRect(sheet.adjusted(-1, -1, 0, 0));
    const QPoint offset(sheet.left() + static_cast<int>(left_ * scale), sheet.top() + static_cast<int>(top_ * scale));
    painter.setPen(QPen(Qt::blue, 1, Qt::DotLine));
    painter.drawLine(offset, QPoint(offset.x(), sheet.bottom()));
    painter.drawLine(offset, QPoint(sheet.right(), offset.y()));
    painter.setPen(Qt::black);
    painter.setFont(previewFont_);
    painter.drawText(sheet, Qt::AlignCenter, QStringLiteral("AB"));
    // The top of the next sheet, a page spacing further down.
    const int next = sheet.bottom() + 1 + static_cast<int>(spacing_ * scale);
    const QRect second(sheet.left(), next, sheet.width(), 20);
    painter.fillRect(second, Qt::white);
    painter.setPen(QColor(0x4E, 0x84, 0xC6));
    painter.drawRect(second.adjusted(0, 0, -1, -1));
}
