// Chinese typed as a clerk types it, through a real input method (fcitx5 with its
// pinyin engine) on a real X server: into a bill field and into the bill list's
// search box of the printing program.

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
    QWidget* StartOnCheque()
    {
        QWidget* frame = StartOnCopyOf("转账支票.dxt");
        return frame && ShowAndActivate(frame) && WaitForInputMethod(frame) ? frame : nullptr;
    }
    static std::wstring Stored(IDoxPage* page, const wchar_t* field)
    {
        IDoxValue* value = page->GetFieldValue(field, 0);
        return value && value->GetType() ? value->GetText() : L"";
    }
};

TEST_F(RunnerImeX, PinyinComposesInABillFieldAndInTheBillSearch)
{
    DOX_REQUIRE_INPUT_METHOD();
    QWidget* frame = StartOnCheque();
    ASSERT_NE(frame, nullptr);
    CMainClient* client = Workspace(frame);
    ASSERT_NE(client, nullptr);
    IDoxPageWindow* window = client->PageView()->PageWindow();
    ASSERT_NE(window, nullptr);
    window->GetHwnd()->setFocus();
    ASSERT_TRUE(WaitFor([&] { return window->GetHwnd()->isAncestorOf(QApplication::focusWidget()); }));
    QWidget* page = QApplication::focusWidget();

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

} // namespace
} // namespace runnertest
