// The print dialog of the bill printing program: the printer list, the copies box and
// how it ends.

#include "CPrintDlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

template <typename T>
T* Child(QWidget* dialog, int id)
{
    T* child = dialog->findChild<T*>(QString::number(id));
    EXPECT_NE(child, nullptr) << id;
    return child;
}

TEST(PrintDialog, CopiesTakeOnlyDigitsAndZeroKeepsTheDialogOpen)
{
    struct Case {
        const char* typed;
        const char* shown;
        bool closes;
        int copies;
    };
    const Case cases[] = {
        {"3", "3", true, 3},
        {"1x", "1", true, 1}, // the letter is put back while typing
        {"0", "0", false, 0},
        {"12", "12", true, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CPrintDlg dialog(L"pdf", false);
        dialog.show();
        auto* copies = Child<QLineEdit>(&dialog, 1006);
        copies->selectAll();
        QTest::keyClick(copies, Qt::Key_Delete);
        QTest::keyClicks(copies, QString::fromLatin1(c.typed));
        EXPECT_EQ(copies->text(), QLatin1String(c.shown));
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_EQ(!dialog.isVisible(), c.closes);
        EXPECT_EQ(dialog.copies, c.copies);
        if (c.closes) {
            EXPECT_EQ(dialog.result(), 1);
            EXPECT_EQ(dialog.printerName, L"PDF"); // as the list spells it
        }
    }
}

TEST(PrintDialog, AnotherPrinterOffersCloseAndContinuousHidesTheBackground)
{
    CPrintDlg dialog(L"PDF", true);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连打"));
    EXPECT_TRUE(Child<QCheckBox>(&dialog, 1013)->isHidden());
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, 2)->isHidden());
    EXPECT_TRUE(Child<QAbstractButton>(&dialog, 8)->isHidden());
    auto* printers = Child<QComboBox>(&dialog, 1002);
    EXPECT_EQ(printers->currentText(), QStringLiteral("PDF"));
    emit printers->activated(printers->currentIndex());
    EXPECT_TRUE(Child<QAbstractButton>(&dialog, 2)->isHidden());
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, 8)->isHidden());
    dialog.show();
    Child<QAbstractButton>(&dialog, 8)->click();
    EXPECT_EQ(dialog.result(), CPrintDlg::kClose);
    EXPECT_EQ(dialog.printerName, L"PDF");
}

} // namespace
