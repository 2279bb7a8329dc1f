// The library's popup loop: its ending rules over message records, and a real
// popup driven with input while its loop runs.

#include "Brindle.h"
#include "MyPopWindowBase.h"
#include "MyShadowWindow.h"

#include "Capabilities.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using plat::Message;
using plat::PopupAction;
using plat::PopupDecision;

namespace
{

TEST(MyPopupRules, EndOrRedirectAsTheLibrarysPopupsNeed)
{
    QWidget popup;
    QWidget field;
    plat::PopupView view;
    view.popup = &popup;
    view.blind = QRect(10, 10, 100, 20); // the opener
    view.serial = 42;

    auto key = [&](uint32_t vk, uint32_t state = 0) {
        Message m;
        m.window = &field; // the keyboard focus stays in the field
        m.message = plat::WM_KEYDOWN;
        m.wParam = vk;
        m.keyState = state;
        return m;
    };
    auto mouse = [&](uint32_t message, QPoint screen, QWidget* window) {
        Message m;
        m.window = window;
        m.message = message;
        m.pt = screen;
        return m;
    };
    auto end = [&](uint64_t result, uint64_t serial, QWidget* window) {
        Message m;
        m.window = window;
        m.message = plat::WM_ENDPOPUPLOOP;
        m.wParam = result;
        m.serial = serial;
        return m;
    };
    Message quit;
    quit.message = plat::WM_QUIT;
    Message deactivated;
    deactivated.message = plat::WM_ACTIVATEAPP;

    const PopupDecision deliver{PopupAction::Deliver, 0};
    const PopupDecision redirect{PopupAction::Redirect, 0};
    const PopupDecision drop{PopupAction::Drop, 0};
    const PopupDecision cancel{PopupAction::End, 0};
    const PopupDecision cancelAndDeliver{PopupAction::EndLeaveQueued, 0};
    const PopupDecision accept{PopupAction::End, 1};

    struct Case {
        const char* what;
        Message msg;
        bool onPopup;
        bool ownerInForeground;
        PopupDecision expected;
    };
    const Case cases[] = {
        {"Enter accepts", key(plat::VK_RETURN), false, true, accept},
        {"Execute accepts", key(plat::VK_EXECUTE), false, true, accept},
        {"Esc cancels", key(plat::VK_ESCAPE), false, true, cancel},
        {"Tab cancels", key(plat::VK_TAB), false, true, cancel},
        {"a letter goes to the popup", key('K'), false, true, redirect},
        {"a digit goes to the popup", key('7'), false, true, redirect},
        {"Down goes to the popup", key(plat::VK_DOWN), false, true, redirect},
        {"PgUp goes to the popup", key(plat::VK_PRIOR), false, true, redirect},
        {"Left stays with the focus", key(plat::VK_LEFT), false, true, deliver},
        {"Ctrl+Space is swallowed", key(plat::VK_SPACE, plat::MK_CONTROL), false, true, drop},
        {"a click on the popup", mouse(plat::WM_LBUTTONDOWN, {300, 300}, &popup), true, true, deliver},
        {"a click on the opener is swallowed", mouse(plat::WM_LBUTTONDOWN, {50, 15}, &field), false, true, cancel},
        {"a right click elsewhere reaches its window", mouse(plat::WM_RBUTTONDOWN, {500, 500}, &field), false, true,
         cancelAndDeliver},
        {"a frame click elsewhere", mouse(plat::WM_NCLBUTTONDOWN, {500, 500}, &field), false, true, cancelAndDeliver},
        {"the wheel over the popup scrolls it", mouse(plat::WM_MOUSEWHEEL, {300, 300}, &popup), true, true, redirect},
        {"the wheel over the opener only closes", mouse(plat::WM_MOUSEWHEEL, {50, 15}, &field), false, true, cancel},
        {"the wheel elsewhere closes and scrolls there", mouse(plat::WM_MOUSEWHEEL, {500, 500}, &field), false, true,
         cancelAndDeliver},
        {"mouse moves go where they go", mouse(plat::WM_MOUSEMOVE, {500, 500}, &field), false, true, deliver},
        {"0x13FF(7) ends with 7", end(7, 42, &popup), false, true, {PopupAction::End, 7}},
        {"a stale 0x13FF is ignored", end(1, 41, &popup), false, true, drop},
        {"0x13FF for another window", end(1, 42, &field), false, true, deliver},
        {"another window activated", key('K'), false, false, cancelAndDeliver},
        {"another application activated", deactivated, false, true, cancelAndDeliver},
        {"quitting", quit, false, true, cancelAndDeliver},
    };
    for (const Case& c : cases) {
        plat::PopupView v = view;
        v.onPopup = c.onPopup;
        v.ownerInForeground = c.ownerInForeground;
        PopupDecision got = plat::DecidePopupMessage(MyPopWindowBase::PopupRules(), c.msg, v);
        EXPECT_EQ(got.action, c.expected.action) << c.what;
        EXPECT_EQ(got.result, c.expected.result) << c.what;
    }
}

// A popup as the library's choice windows are: a tool-tip window that never takes
// the activation, with the popup base as its second base.
class TestPopup : public QWidget, public MyPopWindowBase
{
public:
    explicit TestPopup(QWidget* owner) : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        resize(200, 100);
    }

    QString typed;
    int seen = 0;

    KPWR Track(const RECT& blind) { return DoTrackPopWindow(this, blind); }
    void End(KPWR result) { DoEndTrack(result); }
    void PreProcessMessage(const plat::Message*) override { ++seen; }

protected:
    void keyPressEvent(QKeyEvent* event) override { typed += event->text(); }
};

// The window that opens the popup: a field that has the focus and the opener button
// under it, and another button.
class PopupLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(owner.get());
        field = new QLineEdit;
        opener = new QPushButton(QStringLiteral("打开"));
        other = new QPushButton(QStringLiteral("其他"));
        layout->addWidget(field);
        layout->addWidget(opener);
        layout->addWidget(other);
        owner->setGeometry(100, 100, 300, 200);
        owner->show();
        owner->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(owner.get()));
        field->setFocus();
        QObject::connect(opener, &QPushButton::clicked, [this] { ++openerClicks; });
        popup = std::make_unique<TestPopup>(owner.get());
        popup->move(owner->mapToGlobal(QPoint(10, 150)));
        popup->show();
    }

    RECT OpenerRect() const
    {
        QRect r(opener->mapToGlobal(QPoint(0, 0)), opener->size());
        return {r.right() + 1, r.bottom() + 1, r.left(), r.top()}; // the loop normalises it
    }

    // Runs the popup's loop; `during` runs once the loop is running.
    KPWR TrackWhile(std::function<void()> during)
    {
        QTimer::singleShot(0, during);
        return popup->Track(OpenerRect());
    }

    std::unique_ptr<QWidget> owner;
    QLineEdit* field = nullptr;
    QPushButton* opener = nullptr;
    QPushButton* other = nullptr;
    std::unique_ptr<TestPopup> popup;
    int openerClicks = 0;
};

TEST_F(PopupLoopTest, LettersGoToThePopupAndEscCancels)
{
    KPWR result = TrackWhile([this] {
        EXPECT_TRUE(plat::IsPopupLoopRunning(popup.get()));
        EXPECT_EQ(popup->GetBlindRect().left, opener->mapToGlobal(QPoint(0, 0)).x());
        QTest::keyClicks(field, QStringLiteral("ab7"));
        QTest::keyClick(field, Qt::Key_Escape);
    });
    EXPECT_EQ(result, KPWR_CANCEL);
    EXPECT_EQ(popup->typed, QStringLiteral("ab7"));
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_GT(popup->seen, 0);
    // Idle again: no popup, an empty blind rectangle, the result kept.
    EXPECT_EQ(popup->TrackedPopWindow(), nullptr);
    EXPECT_EQ(popup->GetBlindRect().right, 0);
    EXPECT_EQ(popup->TrackResult(), KPWR_CANCEL);
}

TEST_F(PopupLoopTest, EnterAccepts)
{
    EXPECT_EQ(TrackWhile([this] { QTest::keyClick(field, Qt::Key_Return); }), KPWR_OK);
    EXPECT_EQ(popup->TrackResult(), KPWR_OK);
}

TEST_F(PopupLoopTest, AClickOnTheOpenerOnlyClosesThePopup)
{
    QPoint centre = opener->rect().center();
    KPWR result = TrackWhile([&] { QTest::mousePress(opener, Qt::LeftButton, {}, centre); });
    QTest::mouseRelease(opener, Qt::LeftButton, {}, centre);
    QApplication::processEvents();
    EXPECT_EQ(result, KPWR_CANCEL);
    EXPECT_EQ(openerClicks, 0);
}

TEST_F(PopupLoopTest, AClickElsewhereClosesThePopupAndReachesWhatWasClicked)
{
    QPoint centre = other->rect().center();
    KPWR result = TrackWhile([&] { QTest::mousePress(other, Qt::LeftButton, {}, centre); });
    EXPECT_EQ(result, KPWR_CANCEL);
    QApplication::processEvents();
    EXPECT_TRUE(other->isDown());
    QTest::mouseRelease(other, Qt::LeftButton, {}, centre);
}

TEST_F(PopupLoopTest, ThePopupEndsItsLoopWithItsOwnResultAndAStaleEndIsIgnored)
{
    // Two ends posted in one loop: the first ends it, the second arrives too late.
    KPWR first = TrackWhile([this] {
        popup->End(static_cast<KPWR>(7));
        popup->End(static_cast<KPWR>(5));
    });
    EXPECT_EQ(first, 7);
    KPWR second = TrackWhile([this] { QTimer::singleShot(50, [this] { popup->End(static_cast<KPWR>(3)); }); });
    EXPECT_EQ(second, 3);

    // With no loop running, the end is only stored.
    popup->End(KPWR_OK);
    EXPECT_EQ(popup->TrackResult(), KPWR_OK);
}

TEST_F(PopupLoopTest, ActivatingAnotherWindowEndsTheLoopAtItsNextMessage)
{
    QLineEdit elsewhere;
    KPWR result = TrackWhile([&] {
        elsewhere.show();
        elsewhere.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        QTest::keyClick(&elsewhere, Qt::Key_Z);
    });
    EXPECT_EQ(result, KPWR_CANCEL);
    EXPECT_TRUE(popup->typed.isEmpty());
}

TEST_F(PopupLoopTest, DestroyingThePopupInsideItsLoopEndsIt)
{
    KPWR result = TrackWhile([this] { popup.reset(); });
    EXPECT_EQ(result, KPWR_CANCEL);
}

TEST_F(PopupLoopTest, TheShadowLiesRightAndBelowThePopupOnlyWithLayeredWindows)
{
    ASSERT_EQ(Brindle::Initialize(), 1);
    popup->setGeometry(400, 300, 200, 100);
    {
        MyShadowWindow shadow;
        ASSERT_TRUE(shadow.Create(owner.get()));
        ASSERT_TRUE(shadow.Place(popup.get()));
        ASSERT_EQ(shadow.Strips().size(), 2u);
        QWidget* right = shadow.Strips()[0];
        QWidget* bottom = shadow.Strips()[1];
        EXPECT_EQ(right->geometry(), QRect(600, 304, 4, 96));
        EXPECT_EQ(bottom->geometry(), QRect(404, 400, 200, 4));
        EXPECT_TRUE(right->isVisible() && bottom->isVisible());
        EXPECT_TRUE(right->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        EXPECT_EQ(QApplication::focusWidget(), field);
        shadow.Destroy();
        EXPECT_TRUE(shadow.Strips().empty());
    }

    plat::GetCapabilities().updateLayeredWindow = false;
    MyShadowWindow none;
    EXPECT_FALSE(none.Create(owner.get()));
    EXPECT_FALSE(none.Place(popup.get()));
    EXPECT_TRUE(none.Strips().empty());
    Brindle::Finalize();
}

} // namespace
