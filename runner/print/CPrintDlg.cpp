#include "CPrintDlg.h"

#include "Printers.h"
#include "PrintedFile.h"
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
#include <QToolButton>
#include <QToolTip>

CPrintDlg::CPrintDlg(const std::wstring& printer, bool isContinuous, QWidget* parent, const std::wstring& document)
    : CHeaderDialog(QStringLiteral("打印"), QStringLiteral("打印。"), parent),
      continuous(isContinuous),
      printerName(printer),
      documentName(document),
      printerBox_(Named(new QComboBox(this), 1002)),
      copiesEdit_(Named(new QLineEdit(this), 1006)),
      status_(Named(new QLabel(this), 1019)),
      driver_(Named(new QLabel(this), 1020)),
      port_(Named(new QLabel(this), 1021)),
      comment_(Named(new QLabel(this), 1022)),
      background_(Named(new QCheckBox(QStringLiteral("打印背景图片(&B)"), this), 1013)),
      cancel_(Named(new QPushButton(QStringLiteral("取消"), this), 2)),
      close_(Named(new QPushButton(QStringLiteral("关闭"), this), kClose))
{
    // The PDF printer's file path can be copied from its place.
    port_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* properties = Named(new QPushButton(QStringLiteral("属性(&P)"), this), 1017);
    auto* ok = Named(new QPushButton(QStringLiteral("确定"), this), 1);
    ok->setDefault(true);
    copiesEdit_->setMaxLength(2);
    copiesEdit_->setFixedWidth(40);
    auto* up = Named(new QToolButton(this), 1023);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);

    QGridLayout* grid = Grid();
    auto* name = new QLabel(QStringLiteral("名称(&N):"), this);
    name->setBuddy(printerBox_);
    grid->addWidget(name, 0, 0);
    grid->addWidget(printerBox_, 0, 1, 1, 2);
    grid->addWidget(properties, 0, 3);
    const char* captions[] = {"状态:", "类型:", "位置:", "备注:"};
    QLabel* values[] = {status_, driver_, port_, comment_};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i + 1, 0);
        grid->addWidget(values[i], i + 1, 1, 1, 3);
    }
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
    connect(properties, &QPushButton::clicked, this, &CPrintDlg::ShowProperties);
    connect(ok, &QPushButton::clicked, this, &CPrintDlg::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(close_, &QPushButton::clicked, this, &CPrintDlg::OnClose);
    Initialise();
}

void CPrintDlg::Initialise()
{
    CWaitCursor wait;
    if (printerName.empty())
        printerName = plat::DefaultPrinterName().toStdWString();
    for (const plat::PrinterDetails& p : plat::EnumPrinters()) {
        printers.push_back({p.name.toStdWString(), L"准备就绪", p.driver.toStdWString(),
                            PrinterPlace(p, documentName).toStdWString(), p.comment.toStdWString()});
        printerBox_->addItem(p.name);
    }
    int selected = -1;
    for (size_t i = 0; i < printers.size(); ++i) {
        if (QString::fromStdWString(printers[i].name)
                .compare(QString::fromStdWString(printerName), Qt::CaseInsensitive) == 0) {
            selected = static_cast<int>(i);
            break;
        }
    }
    printerBox_->setCurrentIndex(selected);
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

void CPrintDlg::ShowPrinter(const PrinterInfo& p)
{
    status_->setText(QString::fromStdWString(p.status));
    driver_->setText(QString::fromStdWString(p.driver));
    port_->setText(QString::fromStdWString(p.port));
    comment_->setText(QString::fromStdWString(p.comment));
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

void CPrintDlg::ShowProperties()
{
    const QString name = printerBox_->currentText();
    if (!plat::PrinterExists(name)) {
        UIUitl::MessageBoxFormat(16, L"打开打印机失败 0X%08X", 2u);
        return;
    }
    // The driver's own settings are shown; what is chosen there is not used.
    QPrinter printer;
    if (plat::IsPdfPrinter(name))
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(name);
    QPageSetupDialog dialog(&printer, this);
    dialog.exec();
}

void CPrintDlg::OnOk()
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
