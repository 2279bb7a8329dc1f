// Chinese typed as a clerk types it, through a real input method (fcitx5 with its
// pinyin engine) on a real X server: into a bill field and into the bill list's
// search box of the printing program, and a composition the clerk leaves half done.

#include "BillDatabase.h"
#include "CMainFrame.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxValue.h"
#include "LoopLook.h"
#include "RunnerWorkspaceFixture.h"
#include "XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

using namespace doxtest;

class RunnerImeX : public RunnerWorkspaceTest
{
protected:
    // The cheque open, the input method answering and the keyboard on the bill.
    void StartOnCheque()
    {
        QWidget* frame = StartOnCopyOf("转账支票.dxt");
        ASSERT_TRUE(frame && ShowAndActivate(frame) && WaitForInputMethod(frame));
        client = Workspace(frame);
        ASSERT_NE(client, nullptr);
        window = client->PageView()->PageWindow();
        ASSERT_NE(window, nullptr);
        window->GetHwnd()->setFocus();
        ASSERT_TRUE(WaitFor([&] { return window->GetHwnd()->isAncestorOf(QApplication::focusWidget()); }));
        page = QApplication::focusWidget();
    }
    static std::wstring Stored(IDoxPage* page, const wchar_t* field)
    {
        IDoxValue* value = page->GetFieldValue(field, 0);
        return value && value->GetType() ? value->GetText() : L"";
    }
    // Where the caret of the field the keyboard is on shows on the screen: a point to
    // click that field at.
    QPoint CaretOnScreen() const
    {
        const QRect caret = QGuiApplication::inputMethod()->cursorRectangle().toRect();
        return page->window()->windowHandle()->mapToGlobal(caret.center());
    }
    // Pinyin typed into the open editor of the page, until the input method has sent
    // the page the whole of it to compose ("shen zhen" for "shenzhen").
    bool Compose(const char* pinyin)
    {
        class Preedit : public QObject
        {
        public:
            QString text;

        protected:
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::InputMethod)
                    text = static_cast<QInputMethodEvent*>(event)->preeditString();
                return false;
            }
        } preedit;
        page->installEventFilter(&preedit);
        xinput::Type(pinyin);
        return WaitFor([&] { return QString(preedit.text).remove(u' ') == QLatin1String(pinyin); });
    }

    CMainClient* client = nullptr;
    IDoxPageWindow* window = nullptr;
    QWidget* page = nullptr;
};

TEST_F(RunnerImeX, PinyinComposesInABillFieldAndInTheBillSearch)
{
    DOX_REQUIRE_INPUT_METHOD();
    ASSERT_NO_FATAL_FAILURE(StartOnCheque());

    // Tab from the date onto the payee; the pinyin composes there, shown in the field
    // with the candidates at its caret, and Space takes the first candidate.
    xinput::Chord({"Tab"});
    ASSERT_TRUE(WaitFor([&] { return window->IsEditing() != 0; }));
    xinput::Type("zhongguo");
    const QRect field(page->mapToGlobal(QPoint(0, 0)), page->size());
    EXPECT_TRUE(WaitFor([&] {
        const QRect caret = QGuiApplication::inputMethod()->cursorRectangle().toRect();
        return caret.isValid() && field.contains(page->window()->windowHandle()->mapToGlobal(caret.center()));
    })) << "the input method was not told where the caret is";
    xinput::Chord({"space"});
    QApplication::clipboard()->setText(QStringLiteral("none"));
    ASSERT_TRUE(WaitFor(
        [&] {
            window->SelectAll();
            window->Copy();
            return QApplication::clipboard()->text() == QStringLiteral("中国");
        },
        10000))
        << "the payee's editor holds " << QApplication::clipboard()->text().toStdString();
    xinput::Chord({"Tab"});
    EXPECT_EQ(Stored(window->GetPage(), L"主表.收款人"), L"中国");

    // The bill list's search box, clicked, composes the same way.
    CSearchCtrl* search = client->List()->SearchBox();
    ASSERT_NE(search, nullptr);
    const RECT text = search->TextRect();
    // The click opens the box's inline editor, which runs until Enter: the typing
    // happens from inside it.
    bool composed = false;
    LoopLook look([&] { return search->InlineEdit() && search->InlineEdit()->hasFocus(); },
                  [&] {
                      xinput::Type("zhongguo");
                      xinput::Chord({"space"});
                      composed = WaitFor([&] { return search->InlineEdit()->text() == QStringLiteral("中国"); },
                                         10000);
                      xinput::Chord({"Return"});
                  });
    xinput::Click(search->mapToGlobal(QPoint((text.left + text.right) / 2, (text.top + text.bottom) / 2)));
    ASSERT_TRUE(WaitFor([&] { return look.Done(); }, 10000)) << "the search box opened no editor";
    EXPECT_TRUE(composed) << search->InlineEdit()->text().toStdString();
    EXPECT_TRUE(WaitFor([&] { return search->GetSearchStr() == L"中国"; }));
}

// A clerk who leaves a composition half done: before Space, a click on another field,
// Ctrl+S, Ctrl+N or a click on the search box. The composition ends in the field it
// was typed in (fcitx hands over what it shows, the pinyin), and the keys that follow
// start clean where they go: digits are digits, not the choice of a candidate.
TEST_F(RunnerImeX, ACompositionLeftHalfDoneStaysInItsOwnField)
{
    DOX_REQUIRE_INPUT_METHOD();
    ASSERT_NO_FATAL_FAILURE(StartOnCheque());
    auto control = [](const char* key) { xinput::Chord({"Control_L", key}); };
    auto editing = [&] { return WaitFor([&] { return window->IsEditing() != 0; }); };

    // Where the payee and the purpose are: Tab from the date, Tab twice past the amount.
    xinput::Chord({"Tab"});
    ASSERT_TRUE(editing());
    const QPoint payee = CaretOnScreen();
    xinput::Chord({"Tab"});
    xinput::Chord({"Tab"});
    ASSERT_TRUE(WaitFor([&] { return CaretOnScreen().y() > payee.y() + 20; }));
    const QPoint purpose = CaretOnScreen();
    xinput::Chord({"Escape"});

    // Bill 1: a click on the purpose before Space, then digits.
    xinput::Click(payee);
    ASSERT_TRUE(editing());
    ASSERT_TRUE(Compose("shenzhen"));
    xinput::Click(purpose);
    xinput::Type("555");
    xinput::Settle();
    control("s");
    ASSERT_TRUE(WaitFor([&] { return client->List()->GetItemCount() == 1; })) << "bill 1 was not saved";

    // Bill 2: Ctrl+S in the middle of the purpose's composition; bill 3's date next.
    control("n");
    // Beside the last click: two on one spot in a moment are a double click.
    xinput::Click(purpose + QPoint(40, 0));
    ASSERT_TRUE(editing());
    ASSERT_TRUE(Compose("beijing"));
    control("s");
    control("n");
    xinput::Type("2024-03-01");
    xinput::Chord({"Tab"});
    // Bill 3: Ctrl+N in the middle of the payee's composition saves it with the bill.
    ASSERT_TRUE(Compose("shenzhen"));
    control("n");
    EXPECT_TRUE(WaitFor([&] { return client->List()->GetItemCount() == 3; }))
        << client->List()->GetItemCount() << " bills listed";

    // Bill 4: a click on the search box; the box takes the digits and nothing else.
    xinput::Click(payee);
    ASSERT_TRUE(editing());
    ASSERT_TRUE(Compose("shenzhen"));
    CSearchCtrl* search = client->List()->SearchBox();
    const RECT text = search->TextRect();
    LoopLook look([&] { return search->InlineEdit() && search->InlineEdit()->hasFocus(); },
                  [&] {
                      xinput::Type("555");
                      WaitFor([&] { return search->InlineEdit()->text() == QStringLiteral("555"); });
                      xinput::Chord({"Return"});
                  });
    xinput::Click(search->mapToGlobal(QPoint((text.left + text.right) / 2, (text.top + text.bottom) / 2)));
    ASSERT_TRUE(WaitFor([&] { return look.Done(); }, 10000)) << "the search box opened no editor";
    EXPECT_TRUE(WaitFor([&] { return search->GetSearchStr() == L"555"; }))
        << QString::fromStdWString(search->GetSearchStr()).toStdString();
    EXPECT_EQ(Stored(window->GetPage(), L"主表.收款人"), L"shen zhen");

    Db db(DataDir() / "doxcore.db");
    const std::string table = db.TableWith({"出票日期", "收款人", "用途"});
    ASSERT_FALSE(table.empty());
    const std::vector<std::vector<std::string>> stored =
        db.Rows("select ifnull(出票日期, ''), ifnull(收款人, ''), ifnull(用途, '') from \"" + table +
                "\" order by id");
    const std::vector<std::vector<std::string>> expected = {
        {"", "shen zhen", "555"}, {"", "", "bei jing"}, {"2024-03-01", "shen zhen", ""}};
    EXPECT_EQ(stored, expected);
}

} // namespace
} // namespace runnertest
