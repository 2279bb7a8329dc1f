#include "CPrintDlg.h"

#include "PrinterSettings.h"
#include "PrintedFile.h"
#include "UIUitl.h"
#include "WaitCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>

namespace
{

PaperQuery& CurrentPaperQuery()
{
    static PaperQuery query;
    return query;
}


// The hint of the band: a continuous print names how many bills it prints.
QString BillHint(bool continuous, int count)
{
    if (continuous && count > 0)
        return QStringLiteral("连打勾选的 %1 张票据。").arg(count);
    return QStringLiteral("打印。");
}

} // namespace

PaperQuery SetPaperQuery(PaperQuery query)
{
    PaperQuery previous = std::move(CurrentPaperQuery());
    CurrentPaperQuery() = std::move(query);
    return previous;
}

// ---- A bill's print.

CPrintDlg::CPrintDlg(const std::wstring& printer, bool isContinuous, QWidget* parent, const std::wstring& document,
                     int count)
    : CHeaderDialog(QStringLiteral("打印"), BillHint(isContinuous, count), parent),
      printerName(printer),
      documentName(document),
      continuous(isContinuous)
{
    // Made in the order Tab walks them.
    printerBox_ = Named(new QComboBox(this), 1002);
    copiesEdit_ = Named(new QLineEdit(this), 1006);
    MakeDetails();
    background_ = Named(new QCheckBox(QStringLiteral("打印背景图片(&B)"), this), 1013);
    cancel_ = Named(new QPushButton(QStringLiteral("取消"), this), 2);
    close_ = Named(new QPushButton(QStringLiteral("关闭"), this), kClose);
    QPushButton* properties = MakeProperties();
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    ok->setDefault(true);
    copiesEdit_->setMaxLength(2);
    copiesEdit_->setFixedWidth(40);
    auto* up = Named(new QToolButton(this), 1023);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);

    QGridLayout* grid = Grid();
    AddPrinterRows(grid, 4, properties);
    auto* copiesRow = new QHBoxLayout;
    copiesRow->addWidget(copiesEdit_);
    copiesRow->addWidget(up);
    copiesRow->addWidget(down);
    copiesRow->addStretch();
    grid->addWidget(Caption(QStringLiteral("份数(&C):"), copiesEdit_), 5, 0);
    grid->addLayout(copiesRow, 5, 1, 1, 3);
    grid->addWidget(background_, 6, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel_);
    buttons->addWidget(close_);
    grid->addLayout(buttons, 7, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    resize(420, minimumSizeHint().height());

    connect(printerBox_, &QComboBox::activated, this, &CPrintDlg::PrinterChanged);
    connect(copiesEdit_, &QLineEdit::textEdited, this, &CPrintDlg::CopiesEdited);
    connect(up, &QToolButton::clicked, this, [this] { StepCopies(1); });
    connect(down, &QToolButton::clicked, this, [this] { StepCopies(-1); });
    connect(ok, &QPushButton::clicked, this, &CPrintDlg::OnBillOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(close_, &QPushButton::clicked, this, &CPrintDlg::OnClose);

    plat::WaitCursor wait;
    const int selected = FillPrinters();
    if (selected >= 0)
        ShowPrinter(printers[static_cast<size_t>(selected)]);
    copiesEdit_->setText(QString::number(copies));
    cancel_->show();
    close_->hide();
    background_->setChecked(printBackground != 0);
    if (continuous) {
        setWindowTitle(QStringLiteral("连打"));
        background_->hide();
    }
}

void CPrintDlg::PrinterChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(printers.size()))
        return;
    ShowPrinter(printers[static_cast<size_t>(index)]);
    cancel_->hide();
    close_->show();
}

void CPrintDlg::CopiesEdited(const QString& text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            const int caret = copiesEdit_->cursorPosition();
            copiesEdit_->setText(QString::number(copies));
            copiesEdit_->setCursorPosition(std::max(0, caret - 1));
            return;
        }
    }
    copies = text.toInt();
}

void CPrintDlg::StepCopies(int delta)
{
    copies = std::clamp(copiesEdit_->text().toInt() + delta, 1, 99);
    copiesEdit_->setText(QString::number(copies));
}

void CPrintDlg::OnBillOk()
{
    copies = copiesEdit_->text().toInt();
    if (copies == 0) {
        QToolTip::showText(copiesEdit_->mapToGlobal(QPoint(0, copiesEdit_->height())),
                           QStringLiteral("打印份数必须>0"), copiesEdit_);
        return;
    }
    printerName = printerBox_->currentText().toStdWString();
    if (printerName.empty())
        return;
    printBackground = background_->isChecked() ? 1 : 0;
    done(1);
}

void CPrintDlg::OnClose()
{
    copies = std::max(1, copiesEdit_->text().toInt());
    printerName = printerBox_->currentText().toStdWString();
    if (!printerName.empty())
        done(kClose);
}

// ---- A template page's print.

CPrintDlg::CPrintDlg(int pageWidth, int pageHeight, const std::wstring& printer, QWidget* parent,
                     const std::wstring& document)
    : CHeaderDialog(QStringLiteral("打印"), QStringLiteral("打印。"), parent),
      printerName(printer),
      documentName(document),
      width(pageWidth),
      height(pageHeight),
      pageWidth_(pageWidth),
      pageHeight_(pageHeight)
{
    // Made in the order Tab walks them.
    printerBox_ = Named(new QComboBox(this), 1007);
    MakeDetails();
    paperBox_ = Named(new QComboBox(this), 1024);
    widthText_ = Named(new QLineEdit(this), 1008);
    heightText_ = Named(new QLineEdit(this), 1009);
    portrait_ = Named(new QRadioButton(QStringLiteral("纵向(&O)"), this), 1003);
    landscape_ = Named(new QRadioButton(QStringLiteral("横向(&A)"), this), 1004);
    background_ = Named(new QCheckBox(QStringLiteral("打印背景图片(&B)"), this), 1013);
    QPushButton* properties = MakeProperties();
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), 2);
    ok->setDefault(true);
    widthText_->setReadOnly(true);
    heightText_->setReadOnly(true);
    QGridLayout* grid = Grid();
    AddPrinterRows(grid, 5, properties);
    grid->addWidget(Caption(QStringLiteral("大小(&M):"), paperBox_), 5, 0);
    grid->addWidget(paperBox_, 5, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("宽度(毫米):"), this), 6, 0);
    grid->addWidget(widthText_, 6, 1);
    grid->addWidget(new QLabel(QStringLiteral("高度(毫米):"), this), 6, 2);
    grid->addWidget(heightText_, 6, 3);
    auto* turn = new QHBoxLayout;
    turn->addWidget(portrait_);
    turn->addWidget(landscape_);
    turn->addStretch();
    grid->addLayout(turn, 7, 0, 1, 5);
    grid->addWidget(background_, 8, 0, 1, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 9, 0, 1, 5);
    resize(440, minimumSizeHint().height());

    connect(printerBox_, &QComboBox::activated, this, &CPrintDlg::SelectPrinter);
    connect(paperBox_, &QComboBox::activated, this, &CPrintDlg::SelectPaper);
    connect(portrait_, &QRadioButton::clicked, this, [this] {
        landscape_->setChecked(false);
        orientation = 1;
    });
    connect(landscape_, &QRadioButton::clicked, this, [this] {
        portrait_->setChecked(false);
        orientation = 2;
    });
    connect(ok, &QPushButton::clicked, this, &CPrintDlg::OnPageOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    plat::WaitCursor wait;
    SelectPrinter(FillPrinters());
    portrait_->setChecked(orientation == 1);
    landscape_->setChecked(orientation == 2);
    background_->setChecked(printBackground != 0);
}

void CPrintDlg::SelectPrinter(int index)
{
    if (index < 0 || index >= static_cast<int>(printers.size()))
        return;
    const PrinterInfo& p = printers[static_cast<size_t>(index)];
    ShowPrinter(p);
    printerName = p.name;
    plat::WaitCursor wait;
    RebuildPapers();
    int chosen = -1;
    for (size_t i = 0; i < papers.size() && chosen < 0; ++i) {
        if (papers[i].width == width && papers[i].height == height && papers[i].id == paperId)
            chosen = static_cast<int>(i);
    }
    for (size_t i = 0; i < papers.size() && chosen < 0; ++i) {
        if (papers[i].userSize) {
            // The template's size lives on in the printer's own user paper.
            papers[i].id = DMPAPER_USER;
            papers[i].width = pageWidth_;
            papers[i].height = pageHeight_;
            chosen = static_cast<int>(i);
        }
    }
    SelectPaper(papers.empty() ? -1 : std::max(chosen, 0));
}

void CPrintDlg::RebuildPapers()
{
    papers.clear();
    paperBox_->clear();
    const std::vector<plat::PrinterPaper> offered = PapersOf(printerName);
    if (offered.empty()) {
        UIUitl::MessageBoxFormat(64, L"获取页面信息失败:%ls", printerName.c_str());
        return;
    }
    papers.push_back({L"模板页面", DMPAPER_USER, pageWidth_, pageHeight_, false});
    for (const plat::PrinterPaper& p : offered)
        papers.push_back({p.name.left(64).toStdWString(), p.id, p.width, p.height, p.id == DMPAPER_USER});
    for (const PagerSize& p : papers)
        paperBox_->addItem(QString::fromStdWString(p.name));
}

void CPrintDlg::SelectPaper(int index)
{
    paperBox_->setCurrentIndex(index);
    if (index < 0 || index >= static_cast<int>(papers.size()))
        return;
    const PagerSize& paper = papers[static_cast<size_t>(index)];
    width = paper.width;
    height = paper.height;
    paperId = paper.id;
    widthText_->setText(MillimetreText(width));
    heightText_->setText(MillimetreText(height));
}

void CPrintDlg::OnPageOk()
{
    if (printerName.empty() || !width || !height)
        return;
    // A printer that reports no papers cannot print the page: the size shown is
    // still the previous printer's or the template's, never one this printer has.
    if (papers.empty()) {
        UIUitl::MessageBoxFormat(64, L"获取页面信息失败:%ls", printerName.c_str());
        return;
    }
    printBackground = background_->isChecked() ? 1 : 0;
    accept();
}

bool CPrintDlg::BuildDevMode(const DEVMODEW** devMode)
{
    *devMode = nullptr;
    if (!width || !height)
        return true;
    std::wstring error;
    *devMode = HoldPrinterSettings(devMode_, Printer(), orientation, paperId, width, height, &error);
    if (!*devMode)
        UIUitl::MessageBoxW(16, error);
    return *devMode != nullptr;
}

// ---- Both.

void CPrintDlg::MakeDetails()
{
    status_ = Named(new QLabel(this), 1019);
    driver_ = Named(new QLabel(this), 1020);
    port_ = Named(new QLabel(this), 1021);
    comment_ = Named(new QLabel(this), 1022);
    // The PDF printer's file path can be copied from its place.
    port_->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

QPushButton* CPrintDlg::MakeProperties()
{
    auto* properties = Named(new QPushButton(QStringLiteral("属性(&P)"), this), 1017);
    connect(properties, &QPushButton::clicked, this, &CPrintDlg::ShowProperties);
    return properties;
}

void CPrintDlg::AddPrinterRows(QGridLayout* grid, int columns, QPushButton* properties)
{
    grid->addWidget(Caption(QStringLiteral("名称(&N):"), printerBox_), 0, 0);
    grid->addWidget(printerBox_, 0, 1, 1, columns - 2);
    grid->addWidget(properties, 0, columns - 1);
    const char* captions[] = {"状态:", "类型:", "位置:", "备注:"};
    QLabel* values[] = {status_, driver_, port_, comment_};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i + 1, 0);
        grid->addWidget(values[i], i + 1, 1, 1, columns - 1);
    }
}

int CPrintDlg::FillPrinters()
{
    if (printerName.empty())
        printerName = plat::DefaultPrinterName().toStdWString();
    described_ = plat::DescribePrinters();
    for (const plat::PrinterDescription& printer : described_) {
        const plat::PrinterDetails& p = printer.details;
        printers.push_back({p.name.toStdWString(), L"准备就绪", p.driver.toStdWString(),
                            PrinterPlace(p, documentName).toStdWString(), p.comment.toStdWString()});
        printerBox_->addItem(p.name);
    }
    int selected = -1;
    for (size_t i = 0; i < printers.size() && selected < 0; ++i) {
        if (QString::fromStdWString(printers[i].name).compare(QString::fromStdWString(printerName),
                                                              Qt::CaseInsensitive) == 0)
            selected = static_cast<int>(i);
    }
    printerBox_->setCurrentIndex(selected);
    return selected;
}

void CPrintDlg::ShowPrinter(const PrinterInfo& p)
{
    status_->setText(QString::fromStdWString(p.status));
    driver_->setText(QString::fromStdWString(p.driver));
    port_->setText(QString::fromStdWString(p.port));
    comment_->setText(QString::fromStdWString(p.comment));
}

const plat::PrinterDescription& CPrintDlg::Described(const std::wstring& name) const
{
    static const plat::PrinterDescription none;
    for (const plat::PrinterDescription& printer : described_) {
        if (printer.name.toStdWString() == name)
            return printer;
    }
    return none;
}

const plat::PrinterDescription& CPrintDlg::Printer() const { return Described(printerName); }

std::vector<plat::PrinterPaper> CPrintDlg::PapersOf(const std::wstring& name) const
{
    const PaperQuery& query = CurrentPaperQuery();
    return query ? query(QString::fromStdWString(name)) : Described(name).papers;
}

void CPrintDlg::ShowProperties()
{
    const QString name = printerBox_->currentText();
    if (!Described(name.toStdWString()).exists) {
        UIUitl::MessageBoxFormat(16, L"打开打印机失败 0X%08X", 2u);
        return;
    }
    // The driver's own settings are shown; what is chosen there is not used.
    QPrinter device;
    if (plat::IsPdfPrinter(name))
        device.setOutputFormat(QPrinter::PdfFormat);
    else
        device.setPrinterName(name);
    QPageSetupDialog(&device, this).exec();
}
