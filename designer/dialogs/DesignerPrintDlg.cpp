#include "DesignerPrintDlg.h"

#include "CPaperDialog.h"
#include "PageSetup.h"
#include "PrintedFile.h"
#include "Printers.h"
#include "UIUitl.h"

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

namespace designer
{

namespace
{

PaperQuery& CurrentPaperQuery()
{
    static PaperQuery query;
    return query;
}

std::vector<plat::PrinterPaper> PapersOf(const QString& printer)
{
    const PaperQuery& query = CurrentPaperQuery();
    return query ? query(printer) : plat::PrinterPapers(printer);
}

} // namespace

PaperQuery SetPaperQuery(PaperQuery query)
{
    PaperQuery previous = std::move(CurrentPaperQuery());
    CurrentPaperQuery() = std::move(query);
    return previous;
}

CPrintDlg::CPrintDlg(int pageWidth, int pageHeight, const std::wstring& printer, QWidget* parent,
                     const std::wstring& documentName)
    : CHeaderDialog(QStringLiteral("打印"), QStringLiteral("打印。"), parent),
      printerName(printer),
      width(pageWidth),
      height(pageHeight),
      pageWidth_(pageWidth),
      pageHeight_(pageHeight),
      printerBox_(Named(new QComboBox(this), 1007)),
      status_(Named(new QLabel(this), 1019)),
      driver_(Named(new QLabel(this), 1020)),
      port_(Named(new QLabel(this), 1021)),
      comment_(Named(new QLabel(this), 1022)),
      paperBox_(Named(new QComboBox(this), 1024)),
      widthText_(Named(new QLineEdit(this), 1008)),
      heightText_(Named(new QLineEdit(this), 1009)),
      portrait_(Named(new QRadioButton(QStringLiteral("纵向(&O)"), this), 1003)),
      landscape_(Named(new QRadioButton(QStringLiteral("横向(&A)"), this), 1004)),
      background_(Named(new QCheckBox(QStringLiteral("打印背景图片(&B)"), this), 1013))
{
    // The PDF printer's file path can be copied from its place.
    port_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* properties = Named(new QPushButton(QStringLiteral("属性(&P)"), this), 1017);
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), 2);
    ok->setDefault(true);
    widthText_->setReadOnly(true);
    heightText_->setReadOnly(true);
    QGridLayout* grid = Grid();
    grid->addWidget(Caption(QStringLiteral("名称(&N):"), printerBox_), 0, 0);
    grid->addWidget(printerBox_, 0, 1, 1, 3);
    grid->addWidget(properties, 0, 4);
    const char* captions[] = {"状态:", "类型:", "位置:", "备注:"};
    QLabel* values[] = {status_, driver_, port_, comment_};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i + 1, 0);
        grid->addWidget(values[i], i + 1, 1, 1, 4);
    }
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
    connect(properties, &QPushButton::clicked, this, [this] {
        const QString name = printerBox_->currentText();
        if (!plat::PrinterExists(name)) {
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
    });
    connect(ok, &QPushButton::clicked, this, &CPrintDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    CWaitCursor wait;
    if (printerName.empty())
        printerName = plat::DefaultPrinterName().toStdWString();
    for (const plat::PrinterDetails& p : plat::EnumPrinters()) {
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
    SelectPrinter(selected);
    portrait_->setChecked(orientation == 1);
    landscape_->setChecked(orientation == 2);
    background_->setChecked(printBackground != 0);
}

void CPrintDlg::SelectPrinter(int index)
{
    if (index < 0 || index >= static_cast<int>(printers.size()))
        return;
    const PrinterInfo& p = printers[static_cast<size_t>(index)];
    status_->setText(QString::fromStdWString(p.status));
    driver_->setText(QString::fromStdWString(p.driver));
    port_->setText(QString::fromStdWString(p.port));
    comment_->setText(QString::fromStdWString(p.comment));
    printerName = p.name;
    CWaitCursor wait;
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
    const std::vector<plat::PrinterPaper> offered = PapersOf(QString::fromStdWString(printerName));
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

void CPrintDlg::OnOk()
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
    *devMode = BuildPrinterDevMode(devMode_, printerName, orientation, paperId, width, height, &error);
    if (!*devMode)
        UIUitl::MessageBoxW(16, error);
    return *devMode != nullptr;
}

} // namespace designer
