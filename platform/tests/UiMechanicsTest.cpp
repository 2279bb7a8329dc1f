// The window mechanics shared by the core and the widget library: the message record,
// the popup loop's ending rules (as a table, then on real widgets), the scroll
// arithmetic and the drop shadow.

#include "Capabilities.h"
#include "DropShadow.h"
#include "Messages.h"
#include "PopupLoop.h"
#include "ScrollMath.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

namespace
{

Message Key(QWidget* window, uint32_t vk, uint32_t state = 0)
{
    Message m;
    m.window = window;
    m.message = WM_KEYDOWN;
    m.wParam = vk;
    m.keyState = state;
    return m;
}

Message Mouse(QWidget* window, uint32_t message, QPoint screen)
{
    Message m;
    m.window = window;
    m.message = message;
    m.pt = screen;
    return m;
}

Message EndLoop(QWidget* window, int result, uint64_t serial)
{
    Message m;
    m.window = window;
    m.message = WM_ENDPOPUPLOOP;
    m.wParam = static_cast<uint64_t>(result);
    m.serial = serial;
    return m;
}

PopupDecision D(PopupAction action, int result = 0)
{
    return {action, result};
}

} // namespace

TEST(Messages, QtEventsBecomeRecordsWithWindowsNumbers)
{
    QWidget w;
    QKeyEvent keyA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "a");
    auto m = TranslateEvent(&w, &keyA);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, WM_KEYDOWN);
    EXPECT_EQ(m->wParam, uint64_t('A'));
    EXPECT_TRUE(IsKeyDown(*m, VK_CONTROL));
    EXPECT_FALSE(IsKeyDown(*m, VK_SHIFT));

    QKeyEvent pgDnUp(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
    m = TranslateEvent(&w, &pgDnUp);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, WM_KEYUP);
    EXPECT_EQ(m->wParam, VK_NEXT);

    QMouseEvent rightDown(QEvent::MouseButtonPress, QPointF(-3, 40), QPointF(97, 140), Qt::RightButton,
                          Qt::RightButton, Qt::ShiftModifier);
    m = TranslateEvent(&w, &rightDown);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, WM_RBUTTONDOWN);
    EXPECT_EQ(ClientPoint(*m), QPoint(-3, 40));
    EXPECT_EQ(m->pt, QPoint(97, 140));
    EXPECT_EQ(m->wParam, uint64_t(MK_RBUTTON | MK_SHIFT));

    QMouseEvent leftDbl(QEvent::MouseButtonDblClick, QPointF(1, 2), QPointF(1, 2), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
    EXPECT_EQ(TranslateEvent(&w, &leftDbl)->message, WM_LBUTTONDBLCLK);

    QWheelEvent wheel(QPointF(5, 5), QPointF(50, 60), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    m = TranslateEvent(&w, &wheel);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, WM_MOUSEWHEEL);
    EXPECT_EQ(WheelDelta(*m), -240);
    EXPECT_EQ(m->wParam & 0xFFFF, uint64_t(MK_CONTROL));

    PrivateMessageEvent end(WM_ENDPOPUPLOOP, 7, 0, 42);
    m = TranslateEvent(&w, &end);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, 0x13FFu);
    EXPECT_EQ(m->wParam, 7u);
    EXPECT_EQ(m->serial, 42u);

    QEvent paint(QEvent::Paint);
    EXPECT_FALSE(TranslateEvent(&w, &paint));
}

TEST(PopupRules, EndingRulesOverMessageRecords)
{
    QWidget owner, popup, field;
    const QRect blind(100, 100, 80, 20);
    PopupView view;
    view.popup = &popup;
    view.blind = blind;
    view.serial = 5;
    PopupView onPopup = view;
    onPopup.onPopup = true;
    PopupView lostForeground = view;
    lostForeground.ownerInForeground = false;
    Message deactivated;
    deactivated.message = WM_ACTIVATEAPP;
    Message quit;
    quit.message = WM_QUIT;
    Message wheelOutside = Mouse(&field, WM_MOUSEWHEEL, QPoint(120, 110));

    const PopupRules core{.trackMouse = true, .allKeysToPopup = true};
    const PopupRules widgets{.lettersToPopup = true, .wheelLikeClick = true};
    const PopupRules plain{};
    // A list that opened by itself while the user types; then one whose item the user
    // went to with the arrows.
    const PopupRules typing{.passTabAndEnter = true};
    const PopupRules typingChosen{.passTabAndEnter = true, .enterAccepts = true};
    const struct {
        const char* name;
        PopupRules rules;
        Message msg;
        PopupView view;
        PopupDecision expected;
    } cases[] = {
        {"Enter accepts", plain, Key(&field, VK_RETURN), view, D(PopupAction::End, 1)},
        {"Execute accepts", plain, Key(&field, VK_EXECUTE), view, D(PopupAction::End, 1)},
        {"Esc cancels", plain, Key(&field, VK_ESCAPE), view, D(PopupAction::End, 0)},
        {"Tab cancels", plain, Key(&field, VK_TAB), view, D(PopupAction::End, 0)},
        {"typed-open list: Tab ends and goes on", typing, Key(&field, VK_TAB), view, D(PopupAction::EndDeliver, 0)},
        {"typed-open list: Enter ends and goes on", typing, Key(&field, VK_RETURN), view,
         D(PopupAction::EndDeliver, 0)},
        {"typed-open list: Enter takes the chosen item", typingChosen, Key(&field, VK_RETURN), view,
         D(PopupAction::End, 1)},
        {"typed-open list: Tab goes on past a chosen item", typingChosen, Key(&field, VK_TAB), view,
         D(PopupAction::EndDeliver, 0)},
        {"typed-open list: Esc cancels", typing, Key(&field, VK_ESCAPE), view, D(PopupAction::End, 0)},
        {"Enter accepts even with all keys to the popup", core, Key(&field, VK_RETURN), view, D(PopupAction::End, 1)},
        {"Ctrl+Space is dropped", core, Key(&field, VK_SPACE, MK_CONTROL), view, D(PopupAction::Drop)},
        {"Space alone goes on", plain, Key(&field, VK_SPACE), view, D(PopupAction::Deliver)},
        {"PgDn goes to the popup", plain, Key(&field, VK_NEXT), view, D(PopupAction::Redirect)},
        {"Up goes to the popup", plain, Key(&field, VK_UP), view, D(PopupAction::Redirect)},
        {"a letter stays with the focus", plain, Key(&field, 'C'), view, D(PopupAction::Deliver)},
        {"letters to the widget popup", widgets, Key(&field, 'C'), view, D(PopupAction::Redirect)},
        {"digits to the widget popup", widgets, Key(&field, '7'), view, D(PopupAction::Redirect)},
        {"Left is not a letter", widgets, Key(&field, VK_LEFT), view, D(PopupAction::Deliver)},
        {"every key to the menu", core, Key(&field, VK_LEFT), view, D(PopupAction::Redirect)},
        {"press on the popup is delivered", plain, Mouse(&popup, WM_LBUTTONDOWN, QPoint(5, 5)), onPopup,
         D(PopupAction::Deliver)},
        {"press on the opener is swallowed", plain, Mouse(&field, WM_LBUTTONDOWN, QPoint(120, 110)), view,
         D(PopupAction::End, 0)},
        {"right press on the opener is swallowed", plain, Mouse(&field, WM_RBUTTONDOWN, QPoint(100, 100)), view,
         D(PopupAction::End, 0)},
        {"blind rectangle excludes its right edge", plain, Mouse(&field, WM_LBUTTONDOWN, QPoint(180, 110)), view,
         D(PopupAction::EndLeaveQueued, 0)},
        {"press elsewhere ends and is delivered", plain, Mouse(&owner, WM_NCLBUTTONDOWN, QPoint(400, 300)), view,
         D(PopupAction::EndLeaveQueued, 0)},
        {"middle press is no ending", plain, Mouse(&owner, WM_MBUTTONDOWN, QPoint(400, 300)), view,
         D(PopupAction::Deliver)},
        {"button up outside is no ending", plain, Mouse(&owner, WM_LBUTTONUP, QPoint(400, 300)), view,
         D(PopupAction::Deliver)},
        {"wheel on the popup goes to it", plain, Mouse(&popup, WM_MOUSEWHEEL, QPoint(5, 5)), onPopup,
         D(PopupAction::Redirect)},
        {"wheel outside ends", core, wheelOutside, view, D(PopupAction::End, 0)},
        {"widget wheel over the opener ends", widgets, wheelOutside, view, D(PopupAction::End, 0)},
        {"widget wheel elsewhere ends, delivered", widgets, Mouse(&owner, WM_MOUSEWHEEL, QPoint(9, 9)), view,
         D(PopupAction::EndLeaveQueued, 0)},
        {"tracked move goes to the popup", core, Mouse(&owner, WM_MOUSEMOVE, QPoint(9, 9)), view,
         D(PopupAction::Redirect)},
        {"untracked move goes on", widgets, Mouse(&owner, WM_MOUSEMOVE, QPoint(9, 9)), view, D(PopupAction::Deliver)},
        {"end message with 7", plain, EndLoop(&popup, 7, 5), view, D(PopupAction::End, 7)},
        {"end message with -2", plain, EndLoop(&popup, -2, 5), view, D(PopupAction::End, -2)},
        {"stale end message ignored", plain, EndLoop(&popup, 1, 4), view, D(PopupAction::Drop)},
        {"end message for another window", plain, EndLoop(&field, 1, 5), view, D(PopupAction::Deliver)},
        {"another window active", plain, Key(&field, VK_NEXT), lostForeground, D(PopupAction::EndLeaveQueued, 0)},
        {"application deactivated", plain, deactivated, view, D(PopupAction::EndLeaveQueued, 0)},
        {"quit", plain, quit, view, D(PopupAction::EndLeaveQueued, 0)},
    };
    for (const auto& c : cases) {
        PopupDecision got = DecidePopupMessage(c.rules, c.msg, c.view);
        EXPECT_EQ(got.action, c.expected.action) << c.name;
        EXPECT_EQ(got.result, c.expected.result) << c.name;
    }
}

// A top-level owner with a focusable field and a Qt::ToolTip popup above it.
class PopupLoopOnWidgets : public ::testing::Test
{
protected:
    struct Recorder : QWidget {
        using QWidget::QWidget;
        std::vector<int> keys;
        int presses = 0;
        std::string mouse; // d: press, u: release
        void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
        void mousePressEvent(QMouseEvent*) override
        {
            ++presses;
            mouse += 'd';
        }
        void mouseReleaseEvent(QMouseEvent*) override { mouse += 'u'; }
    };

    void SetUp() override
    {
        owner.resize(400, 300);
        field = new Recorder(&owner);
        field->setGeometry(10, 10, 100, 20);
        field->setFocusPolicy(Qt::StrongFocus);
        other = new Recorder(&owner);
        other->setGeometry(10, 200, 100, 20);
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        field->setFocus();
        popup = new Recorder(&owner);
        popup->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        popup->setGeometry(QRect(owner.mapToGlobal(QPoint(10, 30)), QSize(100, 80)));
        popup->show();
    }
    void TearDown() override { delete popup.data(); }

    PopupLoopOptions Options(PopupRules rules = {})
    {
        PopupLoopOptions o;
        o.owner = &owner;
        o.blind = QRect(field->mapToGlobal(QPoint(0, 0)), field->size());
        o.decide = StandardPopupRules(rules);
        return o;
    }

    QWidget owner;
    Recorder* field = nullptr;
    Recorder* other = nullptr;
    QPointer<Recorder> popup;
};

TEST_F(PopupLoopOnWidgets, EndMessageEndsWithItsValueAndAStaleOneIsIgnored)
{
    QTimer::singleShot(0, [&] { EXPECT_TRUE(EndPopupLoop(popup, 7)); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 7);
    EXPECT_FALSE(IsPopupLoopRunning(popup));
    EXPECT_FALSE(EndPopupLoop(popup, 3)); // no loop: nothing posted

    // A message posted for the first loop but still queued when the next starts.
    uint64_t firstSerial = 0;
    QTimer::singleShot(0, [&] {
        firstSerial = PopupLoopSerial(popup);
        EndPopupLoop(popup, 1);
    });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 1);
    QCoreApplication::postEvent(popup, new PrivateMessageEvent(WM_ENDPOPUPLOOP, 9, 0, firstSerial));
    QTimer::singleShot(20, [&] { EndPopupLoop(popup, 4); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 4);
}

TEST_F(PopupLoopOnWidgets, KeysEndOrGoToThePopupWhileTheFieldHasTheFocus)
{
    QTimer::singleShot(0, [&] {
        QTest::keyClick(field, Qt::Key_PageDown);
        QTest::keyClick(field, Qt::Key_X);
        QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 1);
    EXPECT_EQ(popup->keys, std::vector<int>{Qt::Key_PageDown});
    // The field keeps X and the Ctrl key itself; Ctrl+Space reached nobody.
    EXPECT_EQ(field->keys, (std::vector<int>{Qt::Key_X, Qt::Key_Control}));

    QTimer::singleShot(0, [&] {
        QTest::keyClick(field, Qt::Key_X);
        QTest::keyClick(field, Qt::Key_Escape);
    });
    EXPECT_EQ(RunPopupLoop(popup, Options({.lettersToPopup = true})), 0);
    EXPECT_EQ(popup->keys.back(), Qt::Key_X);
}

// A list that opened while the user types ends on Tab and Enter, which reach the field
// in their place among the keys typed before and after them, also when these were
// typed ahead and are handled before the loop has returned; the program's shortcut
// among them still runs.
TEST_F(PopupLoopOnWidgets, TabAndEnterPassThroughAListThatOpenedWhileTyping)
{
    QShortcut save(QKeySequence(Qt::CTRL | Qt::Key_S), &owner);
    int saves = 0;
    QObject::connect(&save, &QShortcut::activated, [&] { ++saves; });
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Return}) {
        field->keys.clear();
        saves = 0;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(field, Qt::Key_X);
            QTest::keyClick(field, key);
            QTest::keyClick(field, Qt::Key_Y);
            QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Z);
        });
        EXPECT_EQ(RunPopupLoop(popup, Options({.passTabAndEnter = true})), 0) << key;
        QCoreApplication::processEvents();
        EXPECT_EQ(field->keys, (std::vector<int>{Qt::Key_X, key, Qt::Key_Y, Qt::Key_Control, Qt::Key_Z})) << key;
        EXPECT_EQ(saves, 1) << key;
    }
    EXPECT_TRUE(popup->keys.empty());
}

// The program's shortcuts wait while a popup is up; one that opened by itself while
// the user types ends on them and lets them run (Ctrl+Space, the input method's, not).
TEST_F(PopupLoopOnWidgets, AListThatOpenedWhileTypingLetsTheProgramsShortcutsRun)
{
    QShortcut save(QKeySequence(Qt::CTRL | Qt::Key_S), &owner);
    save.setContext(Qt::WindowShortcut);
    int saves = 0;
    QObject::connect(&save, &QShortcut::activated, [&] { ++saves; });
    for (const bool pass : {false, true}) {
        saves = 0;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Escape);
        });
        PopupLoopOptions options = Options({.passTabAndEnter = pass});
        options.passShortcuts = pass;
        EXPECT_EQ(RunPopupLoop(popup, options), 0) << pass;
        QCoreApplication::processEvents();
        EXPECT_EQ(saves, pass ? 1 : 0) << pass;
    }
}

TEST_F(PopupLoopOnWidgets, ClickOutsideIsDeliveredAfterTheLoopAndOnTheOpenerNot)
{
    QTimer::singleShot(0, [&] { QTest::mouseClick(other, Qt::LeftButton); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 0);
    EXPECT_EQ(other->presses, 0); // not yet: the popup's caller comes first
    QCoreApplication::processEvents();
    EXPECT_EQ(other->presses, 1);
    EXPECT_EQ(other->mouse, "du"); // the release that came with it waited behind it

    QTimer::singleShot(0, [&] { QTest::mouseClick(field, Qt::LeftButton); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(field->presses, 0);

    QTimer::singleShot(0, [&] { QTest::mouseClick(popup, Qt::LeftButton); });
    QTimer::singleShot(10, [&] { EndPopupLoop(popup, 2); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 2);
    EXPECT_EQ(popup->presses, 1);
}

TEST_F(PopupLoopOnWidgets, AnotherWindowBecomingActiveEndsWithZero)
{
    QWidget elsewhere;
    elsewhere.resize(100, 100);
    QTimer::singleShot(0, [&] {
        elsewhere.show();
        elsewhere.activateWindow();
    });
    QTimer::singleShot(1000, [&] { EndPopupLoop(popup, 9); }); // only if the loop missed it
    EXPECT_EQ(RunPopupLoop(popup, Options()), 0);
}

TEST_F(PopupLoopOnWidgets, DestroyingThePopupEndsWithZero)
{
    QTimer::singleShot(0, [&] { delete popup.data(); });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 0);
}

TEST_F(PopupLoopOnWidgets, InnerLoopEndsFirstThenTheOuter)
{
    Recorder inner(&owner);
    inner.setWindowFlags(Qt::ToolTip);
    inner.show();
    int innerResult = -1;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            EndPopupLoop(popup, 5); // queued for the outer loop: ends it once the inner is done
            EndPopupLoop(&inner, 6);
        });
        PopupLoopOptions o = Options();
        innerResult = RunPopupLoop(&inner, o);
    });
    EXPECT_EQ(RunPopupLoop(popup, Options()), 5);
    EXPECT_EQ(innerResult, 6);
}

TEST(ScrollMath, WheelScrollsLinesPerNotchAndCapsAPageBothWays)
{
    const ScrollAxis axis{.pos = 300, .limit = 1000, .line = 15, .page = 125};
    const struct {
        int delta;
        int lines;
        int expected;
    } cases[] = {
        {-120, 3, 45},      {120, 3, -45},     // a notch down and up: three lines
        {120, 1, -15},      {-120, 1, 15},     // one line per notch is one line, also upward
        {-240, 3, 90},      {40, 3, -15},      // two notches; a touchpad's third of a notch
        {10, 3, 0},                            // too small a step to move a line
        {-120, 20, 125},    {120, 20, -125},   // capped at a page in both directions
        {120, WHEEL_PAGESCROLL, -125}, {-120, WHEEL_PAGESCROLL, 125},
        {0, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WheelScrollDistance(c.delta, c.lines, axis), c.expected) << c.delta << " " << c.lines;
}

TEST(ScrollMath, BarKeyAndClamp)
{
    const ScrollAxis axis{.pos = 300, .limit = 1000, .line = 15, .page = 125};
    const struct {
        int code;
        int expected;
    } bars[] = {
        {SB_LINEUP, -15}, {SB_LINEDOWN, 15}, {SB_PAGEUP, -125}, {SB_PAGEDOWN, 125}, {SB_THUMBTRACK, 400},
        {SB_TOP, -300},   {SB_BOTTOM, 700},  {SB_THUMBPOSITION, 0}, {SB_ENDSCROLL, 0},
    };
    for (const auto& c : bars)
        EXPECT_EQ(ScrollBarDistance(c.code, axis, 700), c.expected) << c.code;

    bool handled = false;
    EXPECT_EQ(KeyScrollDistance(VK_NEXT, axis, &handled), 125);
    EXPECT_TRUE(handled);
    EXPECT_EQ(KeyScrollDistance(VK_PRIOR, axis, &handled), -125);
    EXPECT_EQ(KeyScrollDistance(VK_DOWN, axis, &handled), 0);
    EXPECT_FALSE(handled);

    EXPECT_EQ(ClampScrollPos(990, 125, 1000), 1000);
    EXPECT_EQ(ClampScrollPos(10, -125, 1000), 0);
    EXPECT_EQ(ClampScrollPos(5, 0x7FFFFFFFLL, 1000), 1000);
    EXPECT_EQ(ClampScrollPos(5, 10, -20), 0);
}

TEST(ScrollMath, WhichBarsAContentNeeds)
{
    const QSize bar(17, 17);
    const struct {
        const char* name;
        QSize total;
        QSize client;
        QPoint pos;
        bool ok, needH, needV;
        QSize range;
        QPoint expectedPos;
    } cases[] = {
        {"fits: no bars, positions reset", {300, 200}, {400, 300}, {30, 40}, true, false, false, {-100, -100}, {0, 0}},
        {"tall: vertical bar widens nothing that fits", {300, 900}, {400, 300}, {0, 50}, true, false, true,
         {-83, 600}, {0, 50}},
        {"wide makes tall", {500, 290}, {400, 300}, {0, 0}, true, true, true, {117, 7}, {0, 0}},
        {"position past the range comes back", {1000, 1000}, {400, 300}, {900, 900}, true, true, true, {617, 717},
         {617, 717}},
        {"client narrower than a bar", {1000, 1000}, {17, 300}, {0, 0}, false, false, false, {}, {}},
    };
    for (const auto& c : cases) {
        ScrollState s = CalcScrollState(c.total, c.client, bar, c.pos);
        EXPECT_EQ(s.ok, c.ok) << c.name;
        if (!s.ok)
            continue;
        EXPECT_EQ(s.needHorizontal, c.needH) << c.name;
        EXPECT_EQ(s.needVertical, c.needV) << c.name;
        EXPECT_EQ(s.range, c.range) << c.name;
        EXPECT_EQ(s.pos, c.expectedPos) << c.name;
    }

    QSize total(-800, 1000), page(0, 0), line(0, -7);
    DeriveScrollSizes(total, page, line);
    EXPECT_EQ(total, QSize(800, 1000));
    EXPECT_EQ(page, QSize(100, 125));
    EXPECT_EQ(line, QSize(12, 7));
}

TEST(DropShadow, StripsOfA200By100PopupHaveTheirPlacesAndFade)
{
    const QRect popup(10, 20, 200, 100);
    EXPECT_EQ(ShadowStripRect(ShadowRight, popup), QRect(210, 24, 4, 96));
    EXPECT_EQ(ShadowStripRect(ShadowBottom, popup), QRect(14, 120, 200, 4));
    EXPECT_EQ(ShadowStripRect(ShadowCorner, popup), QRect(209, 119, 1, 1));

    QImage right = ShadowStripImage(ShadowRight, QSize(4, 96));
    QImage bottom = ShadowStripImage(ShadowBottom, QSize(200, 4));
    const struct {
        const QImage* image;
        int x, y, alpha;
    } pixels[] = {
        {&right, 3, 0, 3},    {&right, 0, 3, 48},    {&right, 0, 0, 12},   {&right, 0, 50, 60},
        {&right, 1, 50, 45},  {&right, 3, 95, 15},   {&bottom, 0, 3, 3},   {&bottom, 3, 0, 48},
        {&bottom, 100, 0, 60}, {&bottom, 100, 3, 15}, {&bottom, 199, 3, 3}, {&bottom, 196, 0, 48},
    };
    for (const auto& p : pixels) {
        QRgb px = p.image->pixel(p.x, p.y);
        EXPECT_EQ(qAlpha(px), p.alpha) << p.x << "," << p.y;
        EXPECT_EQ(qRed(px) | qGreen(px) | qBlue(px), 0);
    }
    EXPECT_EQ(qAlpha(ShadowStripImage(ShadowCorner, QSize(1, 1)).pixel(0, 0)), 60);
    EXPECT_TRUE(ShadowStripImage(ShadowRight, QSize(0, 10)).isNull());
}

TEST(DropShadow, WindowsFollowThePopupAndNoneWithoutLayeredWindows)
{
    Capabilities saved = GetCapabilities();
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    const QRect popup(40, 50, 200, 100);

    GetCapabilities().updateLayeredWindow = true;
    {
        DropShadow shadow;
        ASSERT_TRUE(shadow.Create(&owner, {ShadowRight, ShadowBottom, ShadowCorner}));
        ASSERT_TRUE(shadow.Place(nullptr, popup));
        ASSERT_EQ(shadow.strips().size(), 3u);
        for (const auto& strip : shadow.strips()) {
            EXPECT_TRUE(strip->isVisible());
            EXPECT_EQ(strip->geometry(), ShadowStripRect(strip->side(), popup));
            EXPECT_EQ(strip->picture().size(), strip->size());
            EXPECT_TRUE(strip->windowFlags().testFlag(Qt::ToolTip));
        }
        // A new size remakes the picture at that size.
        shadow.Place(nullptr, QRect(40, 50, 120, 60));
        EXPECT_EQ(shadow.strips()[1]->picture().size(), QSize(120, 4));
    }

    GetCapabilities().updateLayeredWindow = false;
    DropShadow none;
    EXPECT_FALSE(none.Create(&owner, {ShadowRight, ShadowBottom}));
    EXPECT_FALSE(none.Place(nullptr, popup));
    EXPECT_TRUE(none.strips().empty());
    GetCapabilities() = saved;
}

#include "GdiShapes.h"
#include "ShapedLine.h"
#include "SystemColors.h"

TEST(GdiShapes, MnemonicsAreFoundAndStripped)
{
    const struct {
        QString in;
        QString out;
        int index;
    } cases[] = {
        {QStringLiteral("复制(&C)"), QStringLiteral("复制(C)"), 3},
        {QStringLiteral("&Open"), QStringLiteral("Open"), 0},
        {QStringLiteral("R&&D"), QStringLiteral("R&D"), -1},
        {QStringLiteral("end&"), QStringLiteral("end"), -1},
        {QStringLiteral("a&b&c"), QStringLiteral("abc"), 1},
    };
    for (const auto& c : cases) {
        int index = -2;
        EXPECT_EQ(StripMnemonic(c.in, &index), c.out) << c.in.toStdString();
        EXPECT_EQ(index, c.index) << c.in.toStdString();
    }
}

TEST(GdiShapes, AFrameOfOneColourIsTheEdgeOfItsRectangle)
{
    // Thin ones included: a frame one or two pixels across covers its whole rectangle.
    const struct {
        int cx, cy;
    } sizes[] = {{1, 1}, {1, 9}, {2, 9}, {9, 1}, {9, 2}, {3, 3}, {9, 6}};
    for (const auto& size : sizes) {
        QImage image(16, 12, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        CDC dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        Draw3dRect(dc, 3, 2, size.cx, size.cy, RGB(0, 128, 0), RGB(0, 128, 0));
        dc.EndPainting();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = x >= 3 && x < 3 + size.cx && y >= 2 && y < 2 + size.cy;
                const bool edge = inside && (x == 3 || x == 2 + size.cx || y == 2 || y == 1 + size.cy);
                ASSERT_EQ(QColor(image.pixel(x, y)), edge ? QColor(0, 128, 0) : QColor(Qt::white))
                    << size.cx << " x " << size.cy << " at " << x << "," << y;
            }
        }
    }
}

TEST(GdiShapes, AFocusFrameInvertsEveryOtherPixelOfItsEdgeAndASecondTakesItAway)
{
    // A window's buffer (opaque), a half-transparent premultiplied image, a plain one;
    // frames inside, thin, and reaching past the image's edges.
    const struct {
        QImage::Format format;
        QColor fill;
        RECT frame;
    } cases[] = {
        {QImage::Format_ARGB32_Premultiplied, QColor(10, 200, 40), RECT{2, 1, 13, 9}},
        {QImage::Format_ARGB32_Premultiplied, QColor(100, 60, 200, 128), RECT{3, 2, 9, 3}},
        {QImage::Format_RGB32, QColor(10, 200, 40), RECT{-4, -3, 20, 8}},
        {QImage::Format_ARGB32, QColor(100, 60, 200, 128), RECT{5, 0, 6, 12}},
        {QImage::Format_RGB16, QColor(8, 200, 40), RECT{1, 1, 15, 11}},
    };
    for (const auto& c : cases) {
        QImage image(16, 12, c.format);
        image.fill(c.fill);
        const QImage before = image.copy();
        CDC dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        DrawFocusRect(dc, c.frame);
        dc.EndPainting();
        const RECT& f = c.frame;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool edge = x >= f.left && x < f.right && y >= f.top && y < f.bottom &&
                                  (x == f.left || x == f.right - 1 || y == f.top || y == f.bottom - 1);
                const QColor was = before.pixelColor(x, y);
                const QColor now = image.pixelColor(x, y);
                if (edge && (x + y) % 2 == 0) {
                    ASSERT_NEAR(now.red(), 255 - was.red(), 3) << c.format << " at " << x << "," << y;
                    ASSERT_NEAR(now.green(), 255 - was.green(), 3) << c.format << " at " << x << "," << y;
                    ASSERT_NEAR(now.blue(), 255 - was.blue(), 3) << c.format << " at " << x << "," << y;
                    ASSERT_EQ(now.alpha(), was.alpha()) << c.format << " at " << x << "," << y;
                } else {
                    ASSERT_EQ(now, was) << c.format << " at " << x << "," << y;
                }
            }
        }
        DrawFocusRect(dc, c.frame);
        dc.EndPainting();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor was = before.pixelColor(x, y);
                const QColor now = image.pixelColor(x, y);
                ASSERT_NEAR(now.red(), was.red(), 3) << c.format << " at " << x << "," << y;
                ASSERT_NEAR(now.green(), was.green(), 3) << c.format << " at " << x << "," << y;
                ASSERT_NEAR(now.blue(), was.blue(), 3) << c.format << " at " << x << "," << y;
            }
    }
}

TEST(GdiShapes, FramesAndTextStayInTheirRectangles)
{
    QImage image(120, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    CDC dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    Draw3dRect(dc, RECT{2, 2, 12, 8}, RGB(255, 0, 0), RGB(0, 0, 255));
    dc.SetBkMode(TRANSPARENT);
    LOGFONTW lf;
    lf.lfHeight = -13;
    CFont font;
    font.CreateFontIndirect(lf);
    dc.SelectObject(font);
    // A plain DrawText elsewhere first: its clip must not hide what follows.
    RECT small{0, 30, 10, 40};
    dc.DrawText(L"x", 1, &small, DT_SINGLELINE);
    const std::wstring longText = L"&Wide text that cannot fit at all";
    RECT box{20, 10, 80, 30};
    // Without clipping: only the ellipsis keeps the text inside.
    DrawTextEx(dc, longText.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
    dc.EndPainting();

    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(Qt::red));     // top-left edge
    EXPECT_EQ(QColor(image.pixel(2, 6)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(11, 2)), QColor(Qt::blue));   // right edge
    EXPECT_EQ(QColor(image.pixel(5, 7)), QColor(Qt::blue));    // bottom edge
    EXPECT_EQ(QColor(image.pixel(5, 5)), QColor(Qt::white));   // inside untouched
    int inside = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 14; x < 120; ++x) {
            bool ink = qGray(image.pixel(x, y)) < 160;
            bool in = x >= 20 && x < 80 && y >= 10 && y < 30;
            (in ? inside : outside) += ink;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0); // cut with an ellipsis, not spilled over
}

namespace
{

// Makes the font of the face at the height (negative: the character height) and puts it in the DC.
void SelectFace(CDC& dc, CFont& font, const wchar_t* face, int height)
{
    LOGFONTW lf;
    lf.lfHeight = height;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    font.CreateFontIndirect(lf);
    dc.SelectObject(font);
}

} // namespace

// A cell's text drawn from glyphs kept per font must be the very pixels the full layout
// draws: each case is painted both ways, twice with kept glyphs (the second time from
// what the first kept), and the images compared pixel for pixel.
TEST(GdiShapes, TextsFromKeptGlyphsDrawTheLayoutsPixels)
{
    constexpr UINT kCell = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const struct {
        const wchar_t* text;
        int width; // of the box
        UINT format;
        // Whether the whole text is put together from kept glyphs, in the Chinese face
        // and in a Latin one (whose ideographs and fullwidth signs come from a fallback).
        bool kept[2];
    } cases[] = {
        {L"北京市朝阳区收款单位", 160, kCell, {true, true}},
        {L"1234567890", 121, kCell | DT_RIGHT, {true, true}},
        {L"1,234,567.89", 117, kCell | DT_RIGHT, {true, true}},
        {L"-0.25", 63, kCell | DT_CENTER, {true, true}},
        {L"2026-12-11 09:30", 131, kCell | DT_CENTER, {true, true}},
        {L"（人民币）壹万元整。", 171, kCell, {true, false}},
        {L"北京市朝阳区收款单位12345", 125, kCell, {true, true}}, // cut with an ellipsis
        {L"北京市朝阳区收款单位12345", 57, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, {true, true}}, // clipped
        {L"１２３：ＡＢＣ", 113, kCell | DT_RIGHT, {true, false}},
        {L"收款单位ABC有限公司", 151, kCell, {false, false}},
        {L"Wave AV fi 12", 121, kCell | DT_CENTER, {false, false}},
        {L"e\u0301te\u0301", 61, kCell, {false, false}}, // combining accents
        {L"\u05e9\u05dc\u05d5\u05dd 12", 77, kCell | DT_RIGHT, {false, false}}, // right to left
        {L"\u4e00\u0301", 41, kCell, {false, false}},
        {L"", 40, kCell, {true, true}},
    };
    const wchar_t* faces[] = {L"宋体", L"DejaVu Sans"};
    const int heights[] = {-12, -15};

    auto paint = [&](bool kept, const wchar_t* face, int height) {
        ShapedLine::SetKeptGlyphsEnabled(kept);
        QImage image(200, 24 * static_cast<int>(std::size(cases)), QImage::Format_RGB32);
        image.fill(Qt::white);
        CDC dc;
        EXPECT_TRUE(dc.AttachImage(&image));
        CFont font;
        SelectFace(dc, font, face, height);
        int y = 0;
        for (const auto& c : cases) {
            // Opaque on every other row: the background box is the text's width.
            dc.SetBkMode((y / 24) % 2 ? OPAQUE : TRANSPARENT);
            dc.SetBkColor(RGB(255, 255, 200));
            dc.SetTextColor((y / 24) % 3 ? RGB(0, 0, 0) : RGB(200, 0, 40));
            RECT box{7, y + 2, 7 + c.width, y + 22};
            DrawTextEx(dc, c.text, -1, &box, c.format);
            y += 24;
        }
        dc.EndPainting();
        ShapedLine::SetKeptGlyphsEnabled(true);
        return image;
    };

    for (int f = 0; f < 2; ++f) {
        const wchar_t* face = faces[f];
        for (int height : heights) {
            const std::string name = QString::fromWCharArray(face).toStdString() + " " + std::to_string(height);
            const QImage laidOut = paint(false, face, height);
            const QImage first = paint(true, face, height);
            const QImage second = paint(true, face, height);
            for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
                const QRect row(0, 24 * k, 200, 24);
                const std::string what = name + ": " + QString::fromWCharArray(cases[k].text).toStdString();
                EXPECT_EQ(first.copy(row), laidOut.copy(row)) << what;
                EXPECT_EQ(second.copy(row), laidOut.copy(row)) << what;
                bool ink = false;
                for (int y = row.top(); y <= row.bottom() && !ink; ++y)
                    for (int x = 0; x < 200 && !ink; ++x)
                        ink = qGray(laidOut.pixel(x, y)) < 128;
                EXPECT_EQ(ink, *cases[k].text != 0) << what;
            }
            // Cut with an ellipsis at every width: the same characters are cut away.
            const wchar_t* cut[] = {L"北京市朝阳区收款单位12345", L"1,234,567.89"};
            auto paintCut = [&](bool kept, const wchar_t* text) {
                ShapedLine::SetKeptGlyphsEnabled(kept);
                QImage image(180, 20 * 170, QImage::Format_RGB32);
                image.fill(Qt::white);
                CDC dc;
                EXPECT_TRUE(dc.AttachImage(&image));
                CFont font;
                SelectFace(dc, font, face, height);
                dc.SetBkMode(TRANSPARENT);
                for (int width = 1; width <= 170; ++width) {
                    RECT box{3, 20 * (width - 1), 3 + width, 20 * width};
                    DrawTextEx(dc, text, -1, &box, kCell | (width % 2 ? DT_RIGHT : 0));
                }
                dc.EndPainting();
                ShapedLine::SetKeptGlyphsEnabled(true);
                return image;
            };
            for (const wchar_t* text : cut) {
                const QImage laidOut = paintCut(false, text);
                const QImage kept = paintCut(true, text);
                for (int width = 1; width <= 170; ++width) {
                    const QRect row(0, 20 * (width - 1), 180, 20);
                    EXPECT_EQ(kept.copy(row), laidOut.copy(row))
                        << name << ": " << QString::fromWCharArray(text).toStdString() << " in " << width << " px";
                }
            }

            // Each case took the way it names, so the comparison above saw both ways.
            QImage device(8, 8, QImage::Format_RGB32);
            CDC dc;
            ASSERT_TRUE(dc.AttachImage(&device));
            CFont font;
            SelectFace(dc, font, face, height);
            for (const auto& c : cases) {
                const ShapedLine line(QString::fromWCharArray(c.text), dc.LayoutFont(), &device,
                                      ShapedLine::Target::Raster);
                EXPECT_EQ(line.FromKeptGlyphs(), c.kept[f]) << name << ": " << QString::fromWCharArray(c.text).toStdString();
                const ShapedLine any(QString::fromWCharArray(c.text), dc.LayoutFont(), &device);
                EXPECT_FALSE(any.FromKeptGlyphs());
                EXPECT_EQ(line.Width(), any.Width()) << name << ": " << QString::fromWCharArray(c.text).toStdString();
            }
            // Both faces have an ellipsis of their own: the cut is made from kept glyphs.
            ShapedLine line(QString::fromWCharArray(cut[0]), dc.LayoutFont(), &device, ShapedLine::Target::Raster);
            QString text = QString::fromWCharArray(cut[0]);
            EXPECT_TRUE(line.ElideRight(text, 60)) << name;
            EXPECT_EQ(text, dc.DeviceMetrics().elidedText(QString::fromWCharArray(cut[0]), Qt::ElideRight, 60)) << name;
        }
    }
}
