// Light-weight window parts inside one host window: which part a click reaches, focus,
// capture and hover moves, focus following Enable, Destroy leaving nothing behind, and
// the check box toggling on button-up and Space key-up, driven with QTest through a host
// that hands its input to the root part.

#include "Messages.h"
#include "XCheckWindow.h"
#include "WindowSurface.h"
#include "XWindowBase.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace
{

std::vector<std::string> g_log;

struct Part : XWindowBase {
    explicit Part(std::string name) : name(std::move(name)) {}
    std::string name;
    void Log(const char* what) { g_log.push_back(name + ":" + what); }
    void DoLButtonDown(uint32_t f, int x, int y) override
    {
        Log("down");
        XWindowBase::DoLButtonDown(f, x, y);
    }
    void DoLButtonUp(uint32_t, int, int) override { Log("up"); }
    void DoMouseMove(uint32_t, int, int) override { Log("move"); }
    void OnMouseEnter(uint32_t, int, int) override { Log("enter"); }
    void OnMouseLeave(uint32_t, int, int) override { Log("leave"); }
    void OnSetFocus() override { Log("setfocus"); }
    void OnKillFocus() override { Log("killfocus"); }
    void OnCancelMode() override { Log("cancel"); }
};

struct Root : XTopWindowBase {
    void DoLButtonDown(uint32_t f, int x, int y) override
    {
        g_log.push_back("root:down");
        XWindowBase::DoLButtonDown(f, x, y);
    }
};

// The host window hands its mouse and key input to the root part, the way the editor
// host and the calendar do, and paints the tree.
struct Host : QWidget {
    XTopWindowBase* root = nullptr;
    void mousePressEvent(QMouseEvent* e) override
    {
        auto p = e->position().toPoint();
        if (e->button() == Qt::LeftButton)
            root->OnLButtonDown(plat::MK_LBUTTON, p.x(), p.y());
        else
            root->OnRButtonDown(plat::MK_RBUTTON, p.x(), p.y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        auto p = e->position().toPoint();
        if (e->button() == Qt::LeftButton)
            root->OnLButtonUp(0, p.x(), p.y());
        else
            root->OnRButtonUp(0, p.x(), p.y());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        auto p = e->position().toPoint();
        root->OnMouseMove(0, p.x(), p.y());
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (XWindowBase* focus = root->GetFocusPart())
            focus->OnKeyDown(plat::VirtualKeyFromQt(e->key()), 1, 0);
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        if (XWindowBase* focus = root->GetFocusPart())
            focus->OnKeyUp(plat::VirtualKeyFromQt(e->key()), 1, 0);
    }
};

// root (0,0)-(300,200); a (10,10)-(110,110) and b (60,10)-(160,110) overlap; c is a
// child of b at (120,20)-(150,50).
class Parts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        host.resize(300, 200);
        host.root = &root;
        host.setMouseTracking(true);
        ASSERT_TRUE(root.Create(nullptr, RECT{0, 0, 300, 200}, &host, true, 0));
        ASSERT_TRUE(a.Create(&root, RECT{10, 10, 110, 110}, nullptr, true, 1));
        ASSERT_TRUE(b.Create(&root, RECT{60, 10, 160, 110}, nullptr, true, 2));
        ASSERT_TRUE(c.Create(&b, RECT{120, 20, 150, 50}, nullptr, true, 3));
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        g_log.clear();
    }

public:
    Host host;
    Root root;
    Part a{"a"}, b{"b"}, c{"c"};
};

} // namespace

TEST_F(Parts, ClicksReachTheFirstAcceptingPartInCreationOrder)
{
    const struct {
        const char* name;
        std::function<void(Parts&)> setUp;
        QPoint at;
        const char* gets;
    } cases[] = {
        {"inside a only", {}, {20, 20}, "a:down"},
        {"overlap: the first created", {}, {80, 20}, "a:down"},
        {"overlap with a disabled", [](Parts& t) { t.a.Enable(false); }, {80, 20}, "b:down"},
        {"overlap with a hidden", [](Parts& t) { t.a.Show(false); }, {80, 20}, "b:down"},
        {"child of b", {}, {130, 30}, "c:down"},
        {"child of a disabled b: not delivered, root gets it", [](Parts& t) { t.b.Enable(false); }, {130, 30},
         "root:down"},
        {"no part", {}, {250, 150}, "root:down"},
    };
    for (const auto& c : cases) {
        a.Enable(true);
        a.Show(true);
        b.Enable(true);
        if (c.setUp)
            c.setUp(*this);
        g_log.clear();
        QTest::mousePress(&host, Qt::LeftButton, {}, c.at);
        QTest::mouseRelease(&host, Qt::LeftButton, {}, c.at);
        ASSERT_FALSE(g_log.empty()) << c.name;
        EXPECT_EQ(g_log.front(), c.gets) << c.name;
    }
}

TEST_F(Parts, FocusHoverAndCaptureMove)
{
    QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(root.GetFocusPart(), &a);
    g_log.clear();
    QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(130, 30));
    EXPECT_EQ(root.GetFocusPart(), &c);
    EXPECT_EQ(g_log, (std::vector<std::string>{"c:down", "a:killfocus", "c:setfocus", "c:up"}));

    g_log.clear();
    QTest::mouseMove(&host, QPoint(20, 20));
    QTest::mouseMove(&host, QPoint(25, 25));
    QTest::mouseMove(&host, QPoint(140, 90)); // b, outside c
    EXPECT_EQ(root.GetHoverPart(), &b);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a:enter", "a:move", "a:move", "a:leave", "b:enter", "b:move"}));

    // While b holds the capture, a move anywhere reaches b's own handler.
    b.SetCapturePart();
    g_log.clear();
    QTest::mouseMove(&host, QPoint(20, 20));
    QTest::mouseMove(&host, QPoint(290, 190));
    EXPECT_EQ(g_log, (std::vector<std::string>{"b:move", "b:move"}));
    EXPECT_EQ(root.GetHoverPart(), &b);
    b.ReleaseCapturePart();
    EXPECT_EQ(root.GetCapturePart(), nullptr);

    root.MouseLeftHost(0, -1, -1);
    EXPECT_EQ(root.GetHoverPart(), nullptr);
}

TEST_F(Parts, DisablingTheFocusPartsAncestorTakesAndGivesBackItsFocus)
{
    c.SetFocusPart();
    g_log.clear();
    b.Enable(false);
    b.Enable(false); // unchanged: nothing
    b.Enable(true);
    a.Enable(false); // not on the focus part's way
    EXPECT_EQ(g_log, (std::vector<std::string>{"c:killfocus", "c:setfocus"}));
    EXPECT_EQ(root.GetFocusPart(), &c);
}

TEST_F(Parts, DestroyLeavesNoPointerToTheDestroyedParts)
{
    c.SetFocusPart();
    QTest::mouseMove(&host, QPoint(130, 30)); // c hovered
    c.SetCapturePart();
    ASSERT_EQ(root.GetHoverPart(), &c);
    g_log.clear();
    b.Destroy();
    EXPECT_EQ(root.GetFocusPart(), nullptr);
    EXPECT_EQ(root.GetCapturePart(), nullptr);
    EXPECT_EQ(root.GetHoverPart(), nullptr);
    EXPECT_EQ(root.GetChildren(), std::vector<XWindowBase*>{&a});
    EXPECT_EQ(c.GetParent(), nullptr);
    EXPECT_EQ(c.GetTopWindow(), nullptr);
    EXPECT_TRUE(b.IsEnabled());
    EXPECT_EQ(g_log.front(), "b:killfocus");

    // The mouse goes on without reaching them.
    g_log.clear();
    QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(130, 30));
    EXPECT_EQ(g_log.front(), "root:down");
}

namespace
{
struct Check : XCheckWindow {
    int changes = 0;
    void OnChanged() override { ++changes; }
};
} // namespace

TEST_F(Parts, CheckBoxTogglesOnButtonUpAndSpaceUp)
{
    Check box;
    ASSERT_TRUE(box.Create(&root, RECT{200, 120, 220, 140}, nullptr, true, 9));

    QTest::mousePress(&host, Qt::LeftButton, {}, QPoint(210, 130));
    EXPECT_FALSE(box.IsTicked()); // a press only takes the focus
    EXPECT_EQ(root.GetFocusPart(), &box);
    QTest::mouseRelease(&host, Qt::LeftButton, {}, QPoint(210, 130));
    EXPECT_TRUE(box.IsTicked());

    QTest::mouseClick(&host, Qt::RightButton, {}, QPoint(205, 125));
    EXPECT_FALSE(box.IsTicked());

    QTest::keyPress(&host, Qt::Key_Space);
    EXPECT_FALSE(box.IsTicked());
    QTest::keyRelease(&host, Qt::Key_Space);
    EXPECT_TRUE(box.IsTicked());
    QTest::keyClick(&host, Qt::Key_A);
    EXPECT_TRUE(box.IsTicked());
    EXPECT_EQ(box.changes, 3);

    // Outside it nothing toggles.
    QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(230, 130));
    EXPECT_EQ(box.changes, 3);
    box.Destroy();
}

TEST_F(Parts, CheckBoxPaintsItsTickAndFocusFrame)
{
    Check box;
    ASSERT_TRUE(box.Create(&root, RECT{0, 0, 20, 20}, nullptr, true, 9));
    auto paint = [&](bool ticked) {
        box.SetTicked(ticked);
        QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        CDC dc;
        dc.AttachImage(&image);
        box.Paint(dc);
        dc.EndPainting();
        return image;
    };
    auto darkInside = [](const QImage& image) {
        int n = 0;
        for (int y = 3; y < 17; ++y)
            for (int x = 3; x < 17; ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    };
    QImage plain = paint(false);
    QImage ticked = paint(true);
    EXPECT_EQ(darkInside(plain), 0);
    EXPECT_GT(darkInside(ticked), 5);
    EXPECT_EQ(QColor(plain.pixel(10, 10)), QColor(Qt::white));
    // The focus frame: every other pixel of the edge inverted from white to black.
    EXPECT_EQ(qGray(plain.pixel(0, 0)), 0);
    EXPECT_EQ(qGray(plain.pixel(1, 0)), 255);
    EXPECT_EQ(qGray(plain.pixel(19, 1)), 0);
    box.Destroy();
}

namespace
{
struct Filler : XWindowBase {
    explicit Filler(COLORREF color) : color(color) {}
    COLORREF color;
    void OnPaint(CDC& dc) override { dc.FillSolidRect(rect_, color); }
};
} // namespace

TEST_F(Parts, PaintingNowReachesTheHostsBufferAndLaterChildrenPaintOnTop)
{
    Filler under(RGB(255, 0, 0)), over(RGB(0, 0, 255)), hidden(RGB(0, 255, 0));
    ASSERT_TRUE(under.Create(&root, RECT{200, 150, 240, 190}, nullptr, true, 0));
    ASSERT_TRUE(over.Create(&under, RECT{220, 150, 260, 190}, nullptr, true, 0));
    ASSERT_TRUE(hidden.Create(&under, RECT{200, 150, 210, 160}, nullptr, true, 0));
    hidden.Show(false);
    under.Update(false);
    QImage* buffer = plat::WindowBackBuffer(&host);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(QColor(buffer->pixel(205, 170)), QColor(Qt::red));
    EXPECT_EQ(QColor(buffer->pixel(230, 170)), QColor(Qt::blue)); // the child over its parent
    EXPECT_EQ(QColor(buffer->pixel(205, 155)), QColor(Qt::red));  // hidden: not painted
    under.Destroy();
}
