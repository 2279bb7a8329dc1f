#include "CPaperDialog.h"

#include "PrinterSettings.h"
#include "Printers.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CPaperDialog::CPaperDialog(const std::wstring& printerName, QWidget* parent)
    : CHeaderDialog(QStringLiteral("打印机纸张"), QStringLiteral("纸张尺寸。"), parent),
      printerName_(printerName),
      printerBox_(Named(new QComboBox(this), 1007)),
      paperBox_(Named(new QComboBox(this), 1024)),
      widthText_(Named(new QLineEdit(this), 1008)),
      heightText_(Named(new QLineEdit(this), 1009))
{
    widthText_->setReadOnly(true);
    heightText_->setReadOnly(true);
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), 2);
    ok->setDefault(true);
    QGridLayout* grid = Grid();
    grid->addWidget(Caption(QStringLiteral("请选择打印机(&P)"), printerBox_), 0, 0);
    grid->addWidget(printerBox_, 0, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("大小(&M):"), paperBox_), 1, 0);
    grid->addWidget(paperBox_, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("宽度(毫米):"), this), 2, 0);
    grid->addWidget(widthText_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("高度(毫米):"), this), 2, 2);
    grid->addWidget(heightText_, 2, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 4);
    resize(400, minimumSizeHint().height());
    connect(printerBox_, &QComboBox::activated, this, &CPaperDialog::PrinterChanged);
    connect(paperBox_, &QComboBox::activated, this, &CPaperDialog::PaperChanged);
    connect(ok, &QPushButton::clicked, this, &CPaperDialog::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    plat::WaitCursor wait;
    systemDefault_ = plat::DefaultPrinterName().toStdWString();
    if (printerName_.empty())
        printerName_ = systemDefault_;
    for (const QString& name : plat::PrinterNames())
        printerBox_->addItem(name);
    const QString wanted = QString::fromStdWString(printerName_);
    int selected = -1;
    for (int i = 0; i < printerBox_->count() && selected < 0; ++i) {
        if (printerBox_->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0)
            selected = i;
    }
    printerBox_->setCurrentIndex(selected);
    // The printer as the system spells it.
    if (selected >= 0)
        printerName_ = printerBox_->itemText(selected).toStdWString();
    FillPapers();
}

void CPaperDialog::PrinterChanged(int index)
{
    const std::wstring name = printerBox_->itemText(index).toStdWString();
    if (index < 0 || name == printerName_)
        return;
    plat::WaitCursor wait;
    printerName_ = name;
    FillPapers();
}

void CPaperDialog::FillPapers()
{
    paperBox_->clear();
    papers_.clear();
    for (const plat::PrinterPaper& p : plat::PrinterPapers(QString::fromStdWString(printerName_))) {
        papers_.push_back({p.name.left(64).toStdWString(), p.width, p.height});
        paperBox_->addItem(p.name.left(64));
    }
    paperBox_->setCurrentIndex(papers_.empty() ? -1 : 0);
    PaperChanged(paperBox_->currentIndex());
}

void CPaperDialog::PaperChanged(int index)
{
    if (index < 0 || index >= static_cast<int>(papers_.size())) {
        width_ = height_ = 0;
        widthText_->clear();
        heightText_->clear();
        return;
    }
    width_ = papers_[static_cast<size_t>(index)].width;
    height_ = papers_[static_cast<size_t>(index)].height;
    widthText_->setText(MillimetreText(width_));
    heightText_->setText(MillimetreText(height_));
}

void CPaperDialog::OnOk()
{
    if (width_ && height_)
        accept();
}

bool RunPaperDialog(QWidget* parent, std::wstring* printer, int* cx, int* cy)
{
    CPaperDialog dialog(printer ? *printer : std::wstring(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer)
        *printer = dialog.PrinterName();
    *cx = dialog.Width();
    *cy = dialog.Height();
    return true;
}
