// Every dialog of a program, the library's own and Qt's message boxes and file dialogs
// alike, has a dialog's title bar: the close button without minimise and maximise, and
// the program's icon.

#include "CPrintDlg.h"
#include "DialogLook.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPixmap>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{

QIcon RedIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

TEST(DialogLook, EveryDialogHasTheCloseButtonOnlyAndTheProgramsIcon)
{
    UseDesktopDialogLook(RedIcon());
    struct Case {
        const char* what;
        std::function<std::unique_ptr<QDialog>()> make;
    };
    const Case cases[] = {
        {"a plain dialog", [] { return std::make_unique<QDialog>(); }},
        {"a dialog asked for every button",
         [] {
             auto dialog = std::make_unique<QDialog>();
             dialog->setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
             return dialog;
         }},
        {"a message box without a parent",
         [] {
             return std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("t"),
                                                  QStringLiteral("x"));
         }},
        {"the print dialog", [] { return std::make_unique<CPrintDlg>(L"PDF", false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QDialog> dialog = c.make();
        dialog->show();
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(dialog->windowIcon().isNull());
        EXPECT_EQ(dialog->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        // Its size is its controls': no window manager offers to maximise it.
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
        EXPECT_EQ(dialog->minimumSize(), dialog->size());
    }
}

// A dialog that names a minimum size smaller than its own is meant to be resized, and
// keeps its resizing.
TEST(DialogLook, ADialogWithASmallerMinimumSizeStaysResizable)
{
    UseDesktopDialogLook(RedIcon());
    QDialog dialog;
    dialog.setMinimumSize(200, 150);
    dialog.resize(400, 300);
    dialog.show();
    EXPECT_EQ(dialog.minimumSize(), QSize(200, 150));
    EXPECT_GT(dialog.maximumSize().width(), 400);
}

// The size, type and date columns of the file dialog's detail view follow their texts,
// so a date is never cut.
TEST(DialogLook, TheFileDialogsColumnsFollowTheirTexts)
{
    UseDesktopDialogLook(RedIcon());
    QFileDialog dialog(nullptr, QStringLiteral("打开"), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    QTreeView* view = nullptr;
    for (QTreeView* tree : dialog.findChildren<QTreeView*>())
        if (tree->isVisible())
            view = tree;
    ASSERT_NE(view, nullptr);
    ASSERT_GE(view->header()->count(), 4);
    EXPECT_EQ(view->header()->sectionResizeMode(0), QHeaderView::Interactive);
    for (int column = 1; column < view->header()->count(); ++column)
        EXPECT_EQ(view->header()->sectionResizeMode(column), QHeaderView::ResizeToContents) << column;
}

} // namespace
