// The design engine driven by mouse and key records, without a window: selection,
// rubber band, fill-in numbering, handle drags with their limits, copies by
// Ctrl-drag, the base point marker and removal across layers. Positions are
// written y-down (tests think as the eye reads the page); the template XML is
// compared with what a hand writes for the expected result.

#include <gtest/gtest.h>

#include "DesignBench.h"

using namespace designtest;

namespace
{

constexpr int kShift = kGrabShift;
constexpr int kCtrl = kGrabControl;

std::vector<int> Orders(const std::vector<DoxControl*>& controls)
{
    std::vector<int> orders;
    for (DoxControl* c : controls)
        orders.push_back(c->GetTabIndex());
    return orders;
}

std::vector<int> States(Bench& bench, const std::vector<DoxControl*>& controls)
{
    std::vector<int> states;
    for (DoxControl* c : controls)
        states.push_back(bench.NodeOf(c)->GetState());
    return states;
}

} // namespace

TEST(GrabEngine, AttachingNumbersNewObjectsAndSelectsTheNewest)
{
    Bench bench;
    DoxControl* first = bench.Add(100, 100, 200, 50);
    DoxControl* second = bench.Add(100, 300, 200, 50);
    // Objects of a layer that is not current are never selected.
    DoxControl* other = bench.Add(100, 500, 200, 50, &bench.b);
    EXPECT_EQ(Orders({first, second, other}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(States(bench, {first, second, other}), (std::vector<int>{0, 2, 0}));
    EXPECT_EQ(bench.canvas.lastPrimary, bench.NodeOf(second));
    EXPECT_EQ(TemplateXml(first), LineXml(100, -100, 200, 50, 0));
}

TEST(GrabEngine, AttachingWidensSmallObjectsAndSnapsThemWhenSnapping)
{
    struct Case {
        bool snap;
        RECT given; // left, top, width, height (y-down)
        RECT expected;
    } cases[] = {
        {false, {100, 100, 5, 5}, {100, 100, 20, 20}}, // minimum 20 x 20
        {false, {103, 107, 200, 40}, {103, 107, 200, 40}},
        {true, {103, 107, 200, 44}, {100, 110, 200, 40}}, // edges to the nearest 1 mm
        {true, {105, 95, 200, 40}, {110, 100, 200, 40}},  // halves round up
    };
    for (const Case& c : cases) {
        Bench bench;
        bench.canvas.SetSnap(c.snap);
        DoxControl* control = bench.Add(c.given.left, c.given.top, c.given.right, c.given.bottom);
        const RECT& e = c.expected;
        EXPECT_EQ(TemplateXml(control), LineXml(e.left, -e.top, e.right, e.bottom, 0)) << c.given.left;
    }
}

TEST(GrabEngine, ClicksShiftClicksAndCtrlClicksBuildTheSelection)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 200, 50);
    DoxControl* b = bench.Add(100, 300, 200, 50);
    DoxControl* c = bench.Add(100, 500, 200, 50);
    struct Step {
        const char* what;
        int flags;
        int x, y;
        std::vector<int> states; // a, b, c
    } steps[] = {
        {"plain click selects one", 0, 150, 120, {2, 0, 0}},
        {"shift adds a secondary", kShift, 150, 320, {2, 1, 0}},
        {"ctrl makes the primary and keeps the old one", kCtrl, 150, 520, {1, 1, 2}},
        {"shift on a secondary drops it", kShift, 150, 120, {0, 1, 2}},
        {"shift on the primary hands over to the newest secondary", kShift, 150, 520, {0, 2, 0}},
        {"shift beside every object does nothing", kShift, 1500, 1500, {0, 2, 0}},
        {"plain click on another object selects only it", 0, 150, 120, {2, 0, 0}},
    };
    for (const Step& s : steps) {
        bench.Down(s.flags, s.x, s.y);
        bench.Up(s.flags, s.x, s.y);
        EXPECT_EQ(States(bench, {a, b, c}), s.states) << s.what;
    }
}

TEST(GrabEngine, ClickOnEmptyCanvasHidesTheMarksAndEnterShowsThem)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 200, 50);
    GrabNode* node = bench.NodeOf(a);
    EXPECT_EQ(bench.Down(0, 1500, 1500), 0); // the window starts a rubber band
    bench.Up(0, 1500, 1500);
    EXPECT_EQ(node->GetState(), 2);
    EXPECT_TRUE(node->MarksHidden());
    bench.canvas.OnKeyDown(GrabCanvas::KeyEnter, 0);
    EXPECT_FALSE(node->MarksHidden());
    EXPECT_EQ(node->GetState(), 2);
    // Esc with only a primary keeps it, with hidden marks; a click on it shows them.
    bench.canvas.OnKeyDown(GrabCanvas::KeyEscape, 0);
    EXPECT_TRUE(node->MarksHidden());
    bench.Down(0, 150, 120);
    bench.Up(0, 150, 120);
    EXPECT_FALSE(node->MarksHidden());
}

TEST(GrabEngine, RubberBandCatchesObjectsByTheirTopLeftOrBottomRightCorner)
{
    // The band is (1000, 1000)-(1400, 1400), y-down.
    struct Case {
        const char* what;
        RECT object; // left, top, width, height
        bool caught;
    } cases[] = {
        {"inside", {1100, 1100, 100, 100}, true},
        {"top-left corner only", {1300, 1300, 300, 300}, true},
        {"bottom-right corner only", {900, 900, 200, 200}, true},
        {"top-right corner only", {900, 1300, 200, 300}, false},
        {"bottom-left corner only", {1300, 900, 300, 200}, false},
        {"on the band's edge", {1400, 1400, 100, 100}, true},
        {"outside", {100, 100, 100, 100}, false},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* outside = bench.Add(1800, 1800, 100, 100);
        DoxControl* control = bench.Add(c.object.left, c.object.top, c.object.right, c.object.bottom);
        bench.canvas.ClearSelection(1);
        // Esc keeps the newest as primary; a click elsewhere selects the outsider.
        bench.Down(0, 1850, 1850);
        bench.Up(0, 1850, 1850);
        bench.canvas.SelectInRect(RECT{1000, -1000, 1400, -1400});
        const int state = bench.NodeOf(control)->GetState();
        EXPECT_EQ(state != 0, c.caught) << c.what;
        if (c.caught) {
            EXPECT_EQ(state, 2) << c.what; // first caught: the primary
        }
        EXPECT_EQ(bench.NodeOf(outside)->GetState(), c.caught ? 0 : 2) << c.what;
    }
}

TEST(GrabEngine, RubberBandKeepsACaughtPrimaryAndAddsTheOthers)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 100, 100);
    DoxControl* b = bench.Add(300, 100, 100, 100);
    DoxControl* c = bench.Add(900, 900, 100, 100);
    bench.Down(0, 350, 150);
    bench.Up(0, 350, 150);
    bench.canvas.SelectInRect(RECT{0, 0, 500, -500});
    EXPECT_EQ(States(bench, {a, b, c}), (std::vector<int>{1, 2, 0}));
}

TEST(GrabEngine, TabOrderModeNumbersClickedObjects)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 100, 50);
    DoxControl* b = bench.Add(100, 300, 100, 50);
    DoxControl* c = bench.Add(100, 500, 100, 50);
    // An object of a visible but not current layer takes part in the numbering.
    DoxControl* d = bench.Add(500, 100, 100, 50, &bench.b);
    EXPECT_EQ(Orders({a, b, c, d}), (std::vector<int>{0, 1, 2, 3}));
    bench.canvas.SetTabOrderMode(1);
    EXPECT_EQ(bench.a.Create(DoxKindLine, RECT{0, 0, 50, -50}), nullptr); // no new objects in the mode
    struct Click {
        int x, y;
        std::vector<int> orders; // a, b, c, d
        int next;
    } clicks[] = {
        {150, 520, {1, 2, 0, 3}, 1},   {550, 120, {2, 3, 0, 1}, 2}, {150, 120, {2, 3, 0, 1}, 3},
        {150, 320, {2, 3, 0, 1}, 4},   {150, 320, {2, 3, 0, 1}, 4}, // never beyond the number of objects
        {1500, 1500, {2, 3, 0, 1}, 4},
    };
    for (const Click& k : clicks) {
        bench.Down(0, k.x, k.y);
        bench.Up(0, k.x, k.y);
        EXPECT_EQ(Orders({a, b, c, d}), k.orders) << k.x << "," << k.y;
        EXPECT_EQ(bench.canvas.GetNextTabNumber(), k.next);
    }
    EXPECT_EQ(TemplateXml(c), LineXml(100, -500, 100, 50, 0));
    EXPECT_EQ(TemplateXml(a), LineXml(100, -100, 100, 50, 2));
    // No selection, drags or key moves in the mode; Esc leaves it, the next Esc
    // clears the selection.
    const RECT before = DownRect(c);
    bench.canvas.OnKeyDown(GrabCanvas::KeyRight, 0);
    EXPECT_EQ(DownRect(c).left, before.left);
    bench.canvas.OnKeyDown(GrabCanvas::KeyEscape, 0);
    EXPECT_FALSE(bench.canvas.InTabOrderMode());
    GrabNode* primary = bench.canvas.GetPrimary();
    ASSERT_NE(primary, nullptr);
    bench.canvas.OnKeyDown(GrabCanvas::KeyEscape, 0);
    EXPECT_TRUE(primary->MarksHidden());
}

TEST(GrabEngine, TabWalksTheFillInOrderOfTheCurrentLayer)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 100, 50);
    DoxControl* other = bench.Add(100, 300, 100, 50, &bench.b);
    DoxControl* c = bench.Add(100, 500, 100, 50);
    (void)other;
    GrabNode* expected[] = {bench.NodeOf(a), bench.NodeOf(c), bench.NodeOf(a)};
    for (GrabNode* node : expected) {
        bench.canvas.OnKeyDown(GrabCanvas::KeyTab, 0);
        EXPECT_EQ(bench.canvas.GetPrimary(), node);
        EXPECT_EQ(node->GetState(), 2);
    }
}

TEST(GrabEngine, DeletingOnOneLayerThenTabOnAnotherIsClean)
{
    // Layer b's Tab successor is an object of layer a: removing that object must
    // move b's successor on as well, not only the current layer's.
    Bench bench;
    DoxControl* b1 = bench.Add(100, 100, 100, 50, &bench.b);
    DoxControl* a1 = bench.Add(100, 300, 100, 50, &bench.a);
    DoxControl* b2 = bench.Add(100, 500, 100, 50, &bench.b);
    DoxControl* a2 = bench.Add(100, 700, 100, 50, &bench.a);
    (void)a2;
    bench.MakeCurrent(bench.b);
    ASSERT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(b1));
    ASSERT_EQ(bench.b.tabSuccessor, bench.NodeOf(a1));
    bench.MakeCurrent(bench.a);
    bench.Down(0, 150, 320);
    bench.Up(0, 150, 320);
    ASSERT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(a1));
    bench.canvas.OnKeyDown(GrabCanvas::KeyDelete, 0);
    EXPECT_EQ(bench.a.controls.size(), 1u);
    EXPECT_EQ(bench.canvas.modified, 1);
    EXPECT_EQ(Orders({b1, b2, a2}), (std::vector<int>{0, 1, 2})); // the gap closed
    EXPECT_EQ(bench.canvas.GetPrimary(), nullptr);                // nothing in its place
    bench.MakeCurrent(bench.b);
    bench.canvas.OnKeyDown(GrabCanvas::KeyTab, 0);
    EXPECT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(b2));
}

TEST(GrabEngine, DeleteRemovesOnlyTheSelectionOfTheCurrentLayer)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 100, 50);
    DoxControl* b = bench.Add(300, 100, 100, 50);
    DoxControl* c = bench.Add(500, 100, 100, 50);
    DoxControl* other = bench.Add(700, 100, 100, 50, &bench.b);
    bench.canvas.SelectInRect(RECT{0, 0, 450, -200});
    bench.canvas.OnKeyDown(GrabCanvas::KeyDelete, 0);
    EXPECT_EQ(bench.a.controls, (std::vector<DoxControl*>{c}));
    EXPECT_EQ(bench.b.controls, (std::vector<DoxControl*>{other}));
    EXPECT_EQ(Orders({c, other}), (std::vector<int>{0, 1}));
    EXPECT_EQ(bench.canvas.GetPrimary(), nullptr);
    EXPECT_EQ(bench.canvas.HitList().size(), 2u);
    (void)a;
    (void)b;
    // Nothing took their place, so a second Delete removes nothing; Tab goes on
    // with the next object of the fill-in order.
    bench.canvas.modified = 0;
    bench.canvas.OnKeyDown(GrabCanvas::KeyDelete, 0);
    EXPECT_EQ(bench.canvas.modified, 0);
    EXPECT_EQ(bench.canvas.DeleteSelection(), 0);
    EXPECT_EQ(bench.a.controls, (std::vector<DoxControl*>{c}));
    bench.canvas.OnKeyDown(GrabCanvas::KeyTab, 0);
    EXPECT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(c));
}

TEST(GrabEngine, TopHandleStopsAtThePageTopAndAtTheMinimumHeight)
{
    // A line at (500, 400) 300 x 200; the top handle sits above its top edge,
    // centred: x 645..655, y 390..400. Handles are 10 units, the control's
    // minimum 20.
    struct Case {
        const char* what;
        bool snap;
        int toY; // where the mouse lets go, from 395
        int steps;
        int top;
    } cases[] = {
        {"up by 100", false, 295, 20, 300},
        {"above the page", false, -300, 70, 0},
        {"below the bottom", false, 900, 50, 580},
        {"off the grid", false, 373, 1, 378},
        {"snapped down the way it moves", true, 373, 1, 370},
        {"snapped up the way it moves", true, 437, 1, 450},
    };
    for (const Case& c : cases) {
        Bench bench;
        bench.canvas.SetSnap(c.snap);
        DoxControl* line = bench.Add(500, 400, 300, 200);
        const int before = bench.a.modified;
        bench.Drag(0, 650, 395, 650, c.toY, c.steps);
        EXPECT_EQ(TemplateXml(line), LineXml(500, -c.top, 300, 600 - c.top, 0)) << c.what;
        EXPECT_GT(bench.a.modified, before) << c.what;
        EXPECT_FALSE(bench.host.captured) << c.what;
        EXPECT_TRUE(bench.host.Outlines().empty()) << c.what;
    }
}

TEST(GrabEngine, AStoppedEdgeWaitsUntilTheMouseComesBack)
{
    Bench bench;
    DoxControl* line = bench.Add(500, 400, 300, 200);
    GrabHandle* top = bench.NodeOf(line)->GetHandle(GrabNode::N);
    bench.Down(0, 650, 395);
    for (int y = 390; y >= -200; y -= 5)
        bench.Move(0, 650, y);
    EXPECT_EQ(top->GetTrackRect().top, 0); // held at the page top
    for (int y = -195; y <= -100; y += 5)
        bench.Move(0, 650, y);
    EXPECT_EQ(top->GetTrackRect().top, 0); // the mouse is far: the edge waits
    for (int y = -95; y <= 30; y += 5)
        bench.Move(0, 650, y);
    bench.Up(0, 650, 30);
    EXPECT_EQ(DownRect(line).top, 35); // caught again at 0, then followed
}

TEST(GrabEngine, ClicksWithoutMovementChangeNothing)
{
    struct Case {
        const char* what;
        int flags;
        int x, y;
    } cases[] = {
        {"top handle", 0, 650, 395},
        {"right handle", 0, 805, 500},
        {"corner", 0, 805, 605},
        {"move handle", 0, 650, 500},
        {"ctrl on the move handle", kCtrl, 650, 500},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* line = bench.Add(500, 400, 300, 200);
        const int modified = bench.a.modified;
        bench.canvas.modified = 0;
        EXPECT_EQ(bench.Down(c.flags, c.x, c.y), 1) << c.what;
        EXPECT_TRUE(bench.host.captured) << c.what;
        bench.Move(c.flags, c.x, c.y);
        EXPECT_EQ(bench.Up(c.flags, c.x, c.y), 1) << c.what;
        EXPECT_EQ(TemplateXml(line), LineXml(500, -400, 300, 200, 0)) << c.what;
        EXPECT_EQ(bench.a.modified, modified) << c.what;
        EXPECT_EQ(bench.canvas.modified, 0) << c.what;
        EXPECT_EQ(bench.host.feedbackDraws, 0) << c.what;
        EXPECT_EQ(bench.a.controls.size(), 1u) << c.what;
        EXPECT_FALSE(bench.host.captured) << c.what;
    }
}

TEST(GrabEngine, HandlesResizeAndMoveWithinThePage)
{
    struct Case {
        const char* what;
        int x0, y0, x1, y1;
        RECT expected; // left, top, width, height
    } cases[] = {
        {"bottom handle down", 650, 605, 650, 705, {500, 400, 300, 300}},
        {"left handle left", 495, 500, 395, 500, {400, 400, 400, 200}},
        {"right handle past the page", 805, 500, 2500, 500, {500, 400, 1600, 200}},
        {"corner moves both edges", 805, 605, 855, 655, {500, 400, 350, 250}},
        {"move", 650, 500, 700, 450, {550, 350, 300, 200}},
        {"move stops at the page edge", 650, 500, 100, 500, {0, 400, 300, 200}},
        {"move stops at the page bottom", 650, 500, 650, 3200, {500, 2770, 300, 200}},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* line = bench.Add(500, 400, 300, 200);
        bench.Drag(0, c.x0, c.y0, c.x1, c.y1, 50);
        const RECT& e = c.expected;
        EXPECT_EQ(TemplateXml(line), LineXml(e.left, -e.top, e.right, e.bottom, 0)) << c.what;
    }
}

TEST(GrabEngine, DragOutlineFollowsTheMouseAndLeavesNothingBehind)
{
    Bench bench;
    bench.Add(500, 400, 300, 200);
    bench.Down(0, 650, 500);
    bench.Move(0, 700, 500);
    using Shape = std::tuple<int, int, int, int>;
    EXPECT_EQ(bench.host.Outlines(), (std::vector<Shape>{{550, -400, 850, -600}}));
    EXPECT_EQ(bench.host.cursor, GrabCursor::SizeAll);
    bench.Move(0, 750, 500);
    EXPECT_EQ(bench.host.Outlines(), (std::vector<Shape>{{600, -400, 900, -600}}));
    bench.Up(0, 750, 500);
    EXPECT_TRUE(bench.host.Outlines().empty());
}

TEST(GrabEngine, CtrlDragCopiesOnlyWhenDroppedFarEnough)
{
    // Two handle widths (20) away or more make a copy; the original stays.
    struct Case {
        const char* what;
        int dx, dy;
        bool copied;
    } cases[] = {
        {"short", 15, 15, false},
        {"long across", 20, 0, true},
        {"long down", 0, 40, true},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* first = bench.Add(100, 100, 100, 50);
        DoxControl* line = bench.Add(500, 400, 300, 200);
        bench.Drag(kCtrl, 650, 500, 650 + c.dx, 500 + c.dy, 5);
        EXPECT_EQ(TemplateXml(line), LineXml(500, -400, 300, 200, 1)) << c.what;
        ASSERT_EQ(bench.a.controls.size(), c.copied ? 3u : 2u) << c.what;
        if (!c.copied)
            continue;
        DoxControl* copy = bench.a.controls.back();
        // The copy takes the next fill-in number, not its original's.
        EXPECT_EQ(TemplateXml(copy), LineXml(500 + c.dx, -(400 + c.dy), 300, 200, 2)) << c.what;
        EXPECT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(copy)) << c.what;
        EXPECT_EQ(bench.NodeOf(line)->GetState(), 0) << c.what;
        EXPECT_EQ(Orders({first, line, copy}), (std::vector<int>{0, 1, 2})) << c.what;
    }
}

TEST(GrabEngine, ReleasingCtrlDuringTheDragMovesInstead)
{
    Bench bench;
    DoxControl* line = bench.Add(500, 400, 300, 200);
    bench.Down(kCtrl, 650, 500);
    EXPECT_EQ(bench.host.cursor, GrabCursor::Copy);
    bench.Move(kCtrl, 700, 500);
    bench.Move(0, 750, 500);
    EXPECT_EQ(bench.host.cursor, GrabCursor::SizeAll);
    bench.Up(0, 750, 500);
    EXPECT_EQ(bench.a.controls.size(), 1u);
    EXPECT_EQ(TemplateXml(line), LineXml(600, -400, 300, 200, 0));
}

TEST(GrabEngine, GroupDragMovesOrCopiesEveryMovableObject)
{
    struct Case {
        const char* what;
        int flags;
        int dx;
        size_t count;
    } cases[] = {
        {"move", 0, 100, 3},
        {"copy", kCtrl, 100, 5},
        {"short copy", kCtrl, 10, 3},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* a = bench.Add(100, 100, 100, 50);
        DoxControl* b = bench.Add(300, 100, 100, 50);
        DoxControl* locked = bench.Add(500, 100, 100, 50);
        ASSERT_TRUE(locked->Basic().LockItem().SetValue(true));
        bench.canvas.SelectAll();
        bench.Drag(c.flags, 150, 120, 150 + c.dx, 120, 5);
        ASSERT_EQ(bench.a.controls.size(), c.count) << c.what;
        EXPECT_TRUE(bench.host.Outlines().empty()) << c.what;
        EXPECT_FALSE(bench.host.captured) << c.what;
        const int moved = c.flags ? 0 : c.dx;
        EXPECT_EQ(TemplateXml(a), LineXml(100 + moved, -100, 100, 50, 0)) << c.what;
        EXPECT_EQ(TemplateXml(b), LineXml(300 + moved, -100, 100, 50, 1)) << c.what;
        EXPECT_EQ(TemplateXml(locked), LineXml(500, -100, 100, 50, 2, 1)) << c.what;
        if (c.count == 5) {
            // The copies sit where the group was dropped and are the new selection.
            std::vector<int> lefts{DownRect(bench.a.controls[3]).left, DownRect(bench.a.controls[4]).left};
            std::sort(lefts.begin(), lefts.end());
            EXPECT_EQ(lefts, (std::vector<int>{200, 400})) << c.what;
            EXPECT_EQ(Orders({bench.a.controls[3], bench.a.controls[4]}), (std::vector<int>{3, 4}));
            EXPECT_EQ(States(bench, {a, b, locked}), (std::vector<int>{0, 0, 0})) << c.what;
            EXPECT_NE(bench.NodeOf(bench.a.controls[3])->GetState(), 0) << c.what;
            EXPECT_NE(bench.NodeOf(bench.a.controls[4])->GetState(), 0) << c.what;
        }
    }
}

TEST(GrabEngine, GroupClickWithoutMovementSelectsTheClickedObject)
{
    Bench bench;
    DoxControl* a = bench.Add(100, 100, 100, 50);
    DoxControl* b = bench.Add(300, 100, 100, 50);
    bench.canvas.SelectAll();
    ASSERT_EQ(States(bench, {a, b}), (std::vector<int>{1, 2}));
    bench.Down(0, 150, 120);
    bench.Up(0, 150, 120);
    EXPECT_EQ(States(bench, {a, b}), (std::vector<int>{2, 0}));
}

TEST(GrabEngine, LockedObjectsAndLockedLayersDoNotMove)
{
    struct Case {
        const char* what;
        bool lockObject;
        bool lockLayer;
    } cases[] = {{"locked object", true, false}, {"locked layer", false, true}};
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* line = bench.Add(500, 400, 300, 200);
        DoxControl* reference = bench.Add(100, 100, 100, 50);
        if (c.lockObject) {
            ASSERT_TRUE(line->Basic().LockItem().SetValue(true));
        }
        bench.a.locked = c.lockLayer;
        const std::string before = TemplateXml(line);
        // Handles: none starts a drag; the object is still selected by the click.
        bench.Drag(0, 650, 395, 650, 200);
        bench.Drag(0, 650, 500, 800, 600);
        EXPECT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(line)) << c.what;
        bench.canvas.OnKeyDown(GrabCanvas::KeyRight, 0);
        bench.canvas.OnKeyDown(GrabCanvas::KeyRight, kCtrl);
        bench.canvas.CenterHorz();
        // Commands with a reference.
        bench.Down(kCtrl, 150, 120);
        bench.Up(kCtrl, 150, 120);
        bench.canvas.AlignLeft();
        bench.canvas.SameSize();
        EXPECT_EQ(TemplateXml(line), before) << c.what;
        if (c.lockLayer) { // the reference is on the locked layer too
            EXPECT_EQ(DownRect(reference).left, 100) << c.what;
        }
    }
}

TEST(GrabEngine, BasePointMarkerDragsSnapsAndReports)
{
    Bench bench;
    bench.canvas.SetPageRect(2100, 2970, 500, -600);
    EXPECT_EQ(bench.canvas.GetBasePoint().x, 500);
    bench.canvas.SetSnap(1);
    EXPECT_EQ(bench.Down(0, 502, 598), 1);
    EXPECT_EQ(bench.host.cursor, GrabCursor::Hand);
    for (int i = 1; i <= 4; ++i)
        bench.Move(0, 502 + 10 * i, 598 + 10 * i);
    // Two cross hairs through the page follow the mouse.
    EXPECT_EQ(bench.host.Outlines().size(), 2u);
    bench.Up(0, 542, 638);
    EXPECT_TRUE(bench.host.Outlines().empty());
    EXPECT_EQ(bench.canvas.basePoint.x, 540);
    EXPECT_EQ(bench.canvas.basePoint.y, -640);
    EXPECT_EQ(bench.canvas.GetBasePoint().y, -640);
    // Dragged off the page it stays on the page.
    bench.Drag(0, 540, 640, -500, 640, 60);
    EXPECT_EQ(bench.canvas.GetBasePoint().x, 0);
    EXPECT_EQ(bench.canvas.GetBasePoint().y, -640);
}

TEST(GrabEngine, RemovingALayerForgetsItsSelection)
{
    Bench bench;
    auto extra = std::make_unique<DesignLayer>();
    extra->SetView(&bench.canvas);
    bench.MakeCurrent(bench.b);
    extra->state = 2;
    bench.b.state = 1;
    bench.canvas.SetCurrentLayer(extra.get());
    DoxControl* c = bench.Add(100, 100, 100, 50, extra.get());
    ASSERT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(c));
    for (GrabSelection* node : std::vector<GrabSelection*>(extra->Objects()))
        bench.canvas.RemoveObject(node);
    extra.reset();
    EXPECT_EQ(bench.canvas.GetCurrentLayer(), nullptr);
    EXPECT_TRUE(bench.canvas.HitList().empty());
    bench.MakeCurrent(bench.a);
    EXPECT_EQ(bench.canvas.OnKeyDown(GrabCanvas::KeyTab, 0), 1);
}

TEST(GrabEngine, PointerOverHandlesAndObjects)
{
    Bench bench;
    bench.Add(100, 100, 100, 50);
    bench.Add(500, 400, 300, 200); // the primary
    struct Case {
        const char* what;
        int flags;
        int x, y;
        int taken;
        GrabCursor cursor;
    } cases[] = {
        {"top", 0, 650, 395, 1, GrabCursor::SizeNS},
        {"bottom", 0, 650, 605, 1, GrabCursor::SizeNS},
        {"right", 0, 805, 500, 1, GrabCursor::SizeWE},
        {"top right", 0, 805, 395, 1, GrabCursor::SizeNESW},
        {"top left", 0, 495, 395, 1, GrabCursor::SizeNWSE},
        {"bottom right", 0, 805, 605, 1, GrabCursor::SizeNWSE},
        {"bottom left", 0, 495, 605, 1, GrabCursor::SizeNESW},
        {"inside", 0, 650, 500, 1, GrabCursor::SizeAll},
        {"inside with Ctrl", kCtrl, 650, 500, 1, GrabCursor::Copy},
        {"an object not selected", 0, 150, 120, 1, GrabCursor::SizeAll},
        {"empty canvas", 0, 1500, 1500, 0, GrabCursor::Arrow},
    };
    for (const Case& c : cases) {
        bench.host.cursor = GrabCursor::Arrow;
        EXPECT_EQ(bench.Move(c.flags, c.x, c.y), c.taken) << c.what;
        EXPECT_EQ(bench.host.cursor, c.cursor) << c.what;
    }
}
