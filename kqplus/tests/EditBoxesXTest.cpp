// The payment-password boxes on a real X server: the texts X attaches to editing keys,
// the selection pasted with the middle button, Shift+Insert, and text committed by an
// input method all meet the boxes' checks as a person's input does.

#include "EditBoxes.h"
#include "XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

using namespace doxtest;
using kqplus::CDigitEdit;
using kqplus::CMoneyEdit;

namespace
{

class EditBoxesX : public testing::Test
{
protected:
    void SetUp() override
    {
        DOX_REQUIRE_XSERVER();
        auto* layout = new QVBoxLayout(&window_);
        digits_ = new CDigitEdit(&window_);
        money_ = new CMoneyEdit(&window_);
        layout->addWidget(digits_);
        layout->addWidget(money_);
        window_.resize(300, 100);
        ASSERT_TRUE(ShowAndActivate(&window_));
    }

    // The box gets the keyboard, its caret at the start.
    void FocusAtStart(QLineEdit* box)
    {
        box->setFocus();
        ASSERT_TRUE(WaitFor([box] { return box->hasFocus(); }));
        box->setCursorPosition(0);
    }

    QWidget window_;
    CDigitEdit* digits_ = nullptr;
    CMoneyEdit* money_ = nullptr;
};

TEST_F(EditBoxesX, EditingKeysEditWithoutARefusal)
{
    struct Case {
        const char* key;
        const char* before;
        int caret;
        const char* after;
    } cases[] = {
        {"Delete", "1234", 0, "234"},
        {"KP_Delete", "1234", 1, "134"},
        {"BackSpace", "1234", 2, "134"},
    };
    for (QLineEdit* box : {static_cast<QLineEdit*>(digits_), static_cast<QLineEdit*>(money_)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(box == digits_ ? "digits " : "amount ") + c.key);
            box->setFocus();
            ASSERT_TRUE(WaitFor([box] { return box->hasFocus(); }));
            box->setText(QString::fromLatin1(c.before));
            box->setCursorPosition(c.caret);
            xinput::Chord({c.key});
            EXPECT_EQ(box->text().toStdString(), c.after);
        }
    }
    EXPECT_TRUE(digits_->Message().empty());
    EXPECT_TRUE(money_->Message().empty());
}

TEST_F(EditBoxesX, ArrowsHomeAndEndMoveTheCaret)
{
    FocusAtStart(digits_);
    digits_->setText(QStringLiteral("123"));
    xinput::Chord({"Home"});
    EXPECT_EQ(digits_->cursorPosition(), 0);
    xinput::Chord({"Right"});
    EXPECT_EQ(digits_->cursorPosition(), 1);
    xinput::Chord({"End"});
    EXPECT_EQ(digits_->cursorPosition(), 3);
    xinput::Type("4");
    EXPECT_EQ(digits_->text(), QStringLiteral("1234"));
    xinput::Type("a");
    EXPECT_EQ(digits_->text(), QStringLiteral("1234"));
    EXPECT_EQ(digits_->Message(), L"您只能在这里输入数字。");
}

TEST_F(EditBoxesX, PastesGoThroughTheCheck)
{
    // Shift+Insert pastes the clipboard, the middle button the primary selection.
    struct Case {
        const char* clipboard;
        bool middle;
        const char* digits;
        const char* amount;
    } cases[] = {
        {"12ab", false, "", ""},
        {"12ab", true, "", ""},
        {"42", false, "42", "42"},
        {"42", true, "42", "42"},
        {"1.234", true, "", ""},
    };
    for (const Case& c : cases) {
        for (QLineEdit* box : {static_cast<QLineEdit*>(digits_), static_cast<QLineEdit*>(money_)}) {
            SCOPED_TRACE(std::string(c.clipboard) + (c.middle ? " middle " : " shift+insert ") +
                         (box == digits_ ? "digits" : "amount"));
            FocusAtStart(box);
            box->clear();
            const QString text = QString::fromLatin1(c.clipboard);
            if (c.middle) {
                QApplication::clipboard()->setText(text, QClipboard::Selection);
                xinput::Click(box->mapToGlobal(QPoint(10, box->height() / 2)), 2);
            } else {
                QApplication::clipboard()->setText(text);
                xinput::Chord({"Shift_L", "Insert"});
            }
            EXPECT_EQ(box->text().toStdString(), box == digits_ ? c.digits : c.amount);
        }
    }
}

TEST_F(EditBoxesX, InputMethodCommitsGoThroughTheCheck)
{
    // What the platform's input context sends when the user picks a candidate.
    struct Case {
        QString commit;
        const char* digits;
        const char* amount;
    } cases[] = {
        {QStringLiteral("12ab"), "", ""},
        {QStringLiteral("３"), "", ""},
        {QStringLiteral("一百元"), "", ""},
        {QStringLiteral("7"), "7", "7"},
        {QStringLiteral("7.5"), "", "7.5"},
    };
    for (const Case& c : cases) {
        for (QLineEdit* box : {static_cast<QLineEdit*>(digits_), static_cast<QLineEdit*>(money_)}) {
            SCOPED_TRACE(c.commit.toStdString() + (box == digits_ ? " digits" : " amount"));
            FocusAtStart(box);
            box->clear();
            QInputMethodEvent preedit(c.commit, {});
            QApplication::sendEvent(box, &preedit);
            QInputMethodEvent commit;
            commit.setCommitString(c.commit);
            QApplication::sendEvent(box, &commit);
            EXPECT_EQ(box->text().toStdString(), box == digits_ ? c.digits : c.amount);
        }
    }
}

} // namespace

#include "ChequePage.h"
#include "KQXBoxDlg.h"

#include <QImage>
#include <QScreen>

namespace
{

TEST(ComputeDialogX, DeleteInTheAccountAndAmountBoxesDeletes)
{
    DOX_REQUIRE_XSERVER();
    kqtest::ChequePage cheque;
    ASSERT_TRUE(cheque.Set(L"账号", L"6222020212345678"));
    ASSERT_TRUE(cheque.Set(L"金额", L"123.45"));
    kqplus::CKQXBoxDlg dialog(cheque.Page());
    ASSERT_TRUE(ShowAndActivate(&dialog));
    struct Case {
        int id;
        const char* after;
    } cases[] = {{2008, "222020212345678"}, {2013, "23.45"}};
    for (const Case& c : cases) {
        auto* box = dialog.findChild<kqplus::CheckedEdit*>(QString::number(c.id));
        ASSERT_NE(box, nullptr) << c.id;
        box->setFocus();
        ASSERT_TRUE(WaitFor([box] { return box->hasFocus(); }));
        xinput::Chord({"Home"});
        xinput::Chord({"Delete"});
        EXPECT_EQ(box->text().toStdString(), c.after);
        EXPECT_TRUE(box->Message().empty()) << c.id;
    }
    if (const char* shots = std::getenv("DOX_SCREENSHOT_DIR")) {
        xinput::Settle();
        dialog.repaint();
        const QRect frame = dialog.frameGeometry();
        dialog.screen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .save(QString::fromLocal8Bit(shots) + QStringLiteral("/kqplus-after-delete.png"));
    }
}

} // namespace
