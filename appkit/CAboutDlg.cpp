#include "CAboutDlg.h"

#include "ProductIcon.h"
#include "UIUitl.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "SystemColors.h"

CAboutDlg::CAboutDlg(QWidget* parent, int versionControl) : QDialog(parent)
{
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("关于迈凡 禾页票据打印器"));
    setWindowIcon(ProductIcon());
    setFixedSize(400, 200);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProductIcon().pixmap(48, 48));
    icon->setGeometry(24, 38, 48, 48);
    auto* product = new QLabel(QStringLiteral("迈凡 禾页票据打印器"), this);
    QFont big = product->font();
    big.setPixelSize(18);
    big.setBold(true);
    product->setFont(big);
    product->setGeometry(90, 34, 290, 28);
    auto* version = new QLabel(this);
    version->setObjectName(QString::number(versionControl));
    const std::wstring program = QCoreApplication::applicationFilePath().toStdWString();
    version->setText(QStringLiteral("版本 %1").arg(QString::fromStdWString(UIUitl::GetFileVersion(program))));
    version->setGeometry(90, 68, 290, 22);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->setGeometry(200, 150, 180, 34);
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.fillRect(QRect(0, 0, width(), 130), Qt::white);
    p.setPen(plat::ToQColor(GetSysColor(COLOR_BTNSHADOW)));
    p.drawLine(0, 130, width(), 130);
    p.setPen(plat::ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    p.drawLine(0, 131, width(), 131);
}
