// The commands on a selection: align, same size, spacing, centring, moving and
// resizing by keys, writing the selection out. Each command that changes a
// control is checked against the template XML written by hand.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <functional>

#include "DesignBench.h"
#include "DoxTableControl.h"

using namespace designtest;

namespace
{

using Boxes = std::vector<std::unique_ptr<BoxObject>>;

Boxes MakeBoxes(const std::vector<RECT>& rects) // left, top, width, height
{
    Boxes boxes;
    for (const RECT& r : rects)
        boxes.push_back(std::make_unique<BoxObject>(r.left, r.top, r.right, r.bottom));
    return boxes;
}

struct Command {
    const char* name;
    std::function<void(GrabCanvas&)> run;
};

} // namespace

TEST(GrabCommands, AlignAndSameSizeFollowThePrimary)
{
    // Reference (primary) at 100,100 200 x 100; the other at 500,400 100 x 60.
    struct Case {
        Command command;
        RECT expected; // left, top, width, height of the other
    } cases[] = {
        {{"top", &GrabCanvas::AlignTop}, {500, 100, 100, 60}},
        {{"bottom", &GrabCanvas::AlignBottom}, {500, 140, 100, 60}},
        {{"left", &GrabCanvas::AlignLeft}, {100, 400, 100, 60}},
        {{"right", &GrabCanvas::AlignRight}, {200, 400, 100, 60}},
        {{"vertical centre lines", &GrabCanvas::AlignVertCenterLine}, {150, 400, 100, 60}},
        {{"horizontal centre lines", &GrabCanvas::AlignHorzCenterLine}, {500, 120, 100, 60}},
        {{"same width", &GrabCanvas::SameWidth}, {500, 400, 200, 60}},
        {{"same height", &GrabCanvas::SameHeight}, {500, 400, 100, 100}},
        {{"same size", &GrabCanvas::SameSize}, {500, 400, 200, 100}},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* reference = bench.Add(100, 100, 200, 100);
        DoxControl* other = bench.Add(500, 400, 100, 60);
        // With only a primary the command does nothing.
        c.command.run(bench.canvas);
        EXPECT_EQ(TemplateXml(other), LineXml(500, -400, 100, 60, 1)) << c.command.name;
        bench.Down(kGrabControl, 150, 150);
        bench.Up(kGrabControl, 150, 150);
        ASSERT_EQ(bench.canvas.GetPrimary(), bench.NodeOf(reference));
        c.command.run(bench.canvas);
        const RECT& e = c.expected;
        EXPECT_EQ(TemplateXml(other), LineXml(e.left, -e.top, e.right, e.bottom, 1)) << c.command.name;
        EXPECT_EQ(TemplateXml(reference), LineXml(100, -100, 200, 100, 0)) << c.command.name;
    }
}

TEST(GrabCommands, EqualSpacingKeepsTheEndsAndSharesTheGaps)
{
    struct Case {
        const char* what;
        bool vertical;
        std::vector<RECT> boxes; // left, top, width, height; the last is the primary
        int lockedIndex;         // -1: none
        std::vector<int> expected;
    } cases[] = {
        {"three 10 wide over 0..100",
         false,
         {{0, 0, 10, 10}, {20, 0, 10, 10}, {90, 0, 10, 10}},
         -1,
         {0, 45, 90}},
        {"selected in any order", false, {{90, 0, 10, 10}, {0, 0, 10, 10}, {30, 0, 10, 10}}, -1, {90, 0, 45}},
        {"down the page", true, {{0, 0, 10, 10}, {0, 20, 10, 10}, {0, 90, 10, 10}}, -1, {0, 45, 90}},
        {"the remainder is not shared",
         false,
         {{0, 0, 10, 10}, {20, 0, 10, 10}, {91, 0, 10, 10}},
         -1,
         {0, 45, 90}},
        {"a locked object takes no part",
         false,
         {{0, 0, 10, 10}, {20, 0, 10, 10}, {90, 0, 10, 10}},
         1,
         {0, 20, 90}},
    };
    for (const Case& c : cases) {
        Boxes boxes = MakeBoxes(c.boxes);
        if (c.lockedIndex >= 0)
            boxes[static_cast<size_t>(c.lockedIndex)]->locked = 1;
        Bench bench;
        bench.AddBoxes(boxes);
        bench.canvas.SelectAll();
        if (c.vertical)
            bench.canvas.SpaceEvenlyVert();
        else
            bench.canvas.SpaceEvenlyHorz();
        std::vector<int> got;
        for (auto& box : boxes)
            got.push_back(c.vertical ? box->Top() : box->Left());
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

TEST(GrabCommands, SpacingRemovalAndCentringOfControls)
{
    struct Case {
        Command command;
        std::vector<RECT> expected; // left, top, width, height of the three lines
    } cases[] = {
        {{"space evenly across", &GrabCanvas::SpaceEvenlyHorz},
         {{100, 100, 20, 20}, {200, 130, 20, 20}, {300, 200, 20, 20}}},
        {{"space evenly down", &GrabCanvas::SpaceEvenlyVert},
         {{100, 100, 20, 20}, {150, 150, 20, 20}, {300, 200, 20, 20}}},
        {{"no spacing across", &GrabCanvas::RemoveSpaceHorz},
         {{100, 100, 20, 20}, {120, 130, 20, 20}, {140, 200, 20, 20}}},
        {{"no spacing down", &GrabCanvas::RemoveSpaceVert},
         {{100, 100, 20, 20}, {150, 120, 20, 20}, {300, 140, 20, 20}}},
        // The group 100..320 x 100..220 centred on the page 2100 x 2970.
        {{"centre across", &GrabCanvas::CenterHorz},
         {{940, 100, 20, 20}, {990, 130, 20, 20}, {1140, 200, 20, 20}}},
        {{"centre down", &GrabCanvas::CenterVert},
         {{100, 1425, 20, 20}, {150, 1455, 20, 20}, {300, 1525, 20, 20}}},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* lines[] = {bench.Add(100, 100, 20, 20), bench.Add(150, 130, 20, 20),
                               bench.Add(300, 200, 20, 20)};
        bench.canvas.SelectAll();
        c.command.run(bench.canvas);
        for (int i = 0; i < 3; ++i) {
            const RECT& e = c.expected[static_cast<size_t>(i)];
            EXPECT_EQ(TemplateXml(lines[i]), LineXml(e.left, -e.top, e.right, e.bottom, i))
                << c.command.name << i;
        }
    }
}

TEST(GrabCommands, ArrowKeysMoveTheBlockAndStopAtThePageBorder)
{
    struct Case {
        const char* what;
        int firstLeft, firstTop; // the second object sits 100 to the right
        GrabCanvas::Key key;
        int flags;
        int left, top; // of the first afterwards
    } cases[] = {
        {"right by 10", 300, 300, GrabCanvas::KeyRight, 0, 310, 300},
        {"down by 10", 300, 300, GrabCanvas::KeyDown, 0, 300, 310},
        {"up by 5 with Ctrl+Shift", 300, 300, GrabCanvas::KeyUp, kGrabControl | kGrabShift, 300, 295},
        {"touching the left border", 0, 300, GrabCanvas::KeyLeft, 0, 0, 300},
        {"5 from the left border", 5, 300, GrabCanvas::KeyLeft, 0, 0, 300},
        {"touching the top border", 300, 0, GrabCanvas::KeyUp, 0, 300, 0},
        {"the right object touches the right border", 1880, 300, GrabCanvas::KeyRight, 0, 1880, 300},
        {"the block touches the bottom", 300, 2950, GrabCanvas::KeyDown, 0, 300, 2950},
    };
    for (const Case& c : cases) {
        Bench bench;
        DoxControl* first = bench.Add(c.firstLeft, c.firstTop, 20, 20);
        DoxControl* second = bench.Add(c.firstLeft + 200, c.firstTop, 20, 20);
        bench.canvas.SelectAll();
        bench.canvas.OnKeyDown(c.key, c.flags);
        EXPECT_EQ(TemplateXml(first), LineXml(c.left, -c.top, 20, 20, 0)) << c.what;
        EXPECT_EQ(TemplateXml(second), LineXml(c.left + 200, -c.top, 20, 20, 1)) << c.what;
    }
}

TEST(GrabCommands, CtrlAndShiftArrowsResizeASingleObject)
{
    struct Case {
        const char* what;
        GrabCanvas::Key key;
        int flags;
        bool alone;
        int width, height;
    } cases[] = {
        {"Ctrl+Right widens by 10", GrabCanvas::KeyRight, kGrabControl, true, 110, 50},
        {"Shift+Down heightens by 5", GrabCanvas::KeyDown, kGrabShift, true, 100, 55},
        {"Ctrl+Up lowers by 10", GrabCanvas::KeyUp, kGrabControl, true, 100, 40},
        {"never past the page", GrabCanvas::KeyRight, kGrabControl, true, 100, 50},
        {"not with two selected", GrabCanvas::KeyRight, kGrabControl, false, 100, 50},
    };
    for (const Case& c : cases) {
        Bench bench;
        const int left = std::string(c.what) == "never past the page" ? 2000 : 300;
        DoxControl* line = bench.Add(left, 300, 100, 50);
        if (!c.alone) {
            bench.Add(700, 700, 20, 20);
            bench.canvas.SelectAll();
        }
        bench.Down(kGrabControl, left + 50, 320);
        bench.Up(kGrabControl, left + 50, 320);
        bench.canvas.OnKeyDown(c.key, c.flags);
        EXPECT_EQ(TemplateXml(line), LineXml(left, -300, c.width, c.height, 0)) << c.what;
    }
}

TEST(GrabCommands, CtrlLeftKeepsTheColumnsOfATableAtTheirMinimum)
{
    Bench bench;
    auto* table = static_cast<DoxTableControl*>(bench.Add(100, 100, 300, 100, nullptr, DoxKindTable));
    ASSERT_NE(table, nullptr);
    while (table->Columns().Count() < 3)
        ASSERT_TRUE(table->Columns().AddElement());
    ASSERT_EQ(table->Columns().GridAt(2)->GetSize(), 100);
    for (int i = 0; i < 30; ++i)
        bench.canvas.OnKeyDown(GrabCanvas::KeyLeft, kGrabControl);
    EXPECT_EQ(DownRect(table).right - DownRect(table).left, 210);
    for (int i = 0; i < 3; ++i)
        EXPECT_GE(table->Columns().GridAt(i)->GetSize(), DoxGridMinSize) << i;
}

TEST(GrabCommands, TheSelectionIsWrittenOutWithoutFillInOrder)
{
    Bench bench;
    bench.Add(100, 100, 20, 20);
    bench.Add(300, 100, 20, 20);
    bench.Add(500, 100, 20, 20); // not selected
    bench.canvas.SelectInRect(RECT{0, 0, 400, -400});
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("copy");
    doc.InsertEndChild(root);
    ASSERT_EQ(bench.canvas.SaveSelectionXml(root), 1);
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    auto copy = [](int x) {
        return "<dox:control id=\"linecontrol\"><dox:attrib id=\"base\"><dox:attribitem id=\"x\" value=\"" +
               std::to_string(x) +
               "\"/><dox:attribitem id=\"y\" value=\"-100\"/><dox:attribitem id=\"cx\" value=\"20\"/>"
               "<dox:attribitem id=\"cy\" value=\"20\"/><dox:attribitem id=\"lock\" value=\"0\"/>"
               "<dox:attribitem id=\"fgcolor\" value=\"0\"/><dox:attribitem id=\"style\" value=\"3\"/>"
               "<dox:attribitem id=\"printable\" value=\"1\"/></dox:attrib></dox:control>";
    };
    // Secondaries first, the primary (the first caught, top-most) last.
    EXPECT_EQ(std::string(printer.CStr()), "<copy>" + copy(100) + copy(300) + "</copy>");
    bench.canvas.SetTabOrderMode(1);
    EXPECT_EQ(bench.canvas.SaveSelectionXml(root), 0);
}

TEST(GrabCommands, ADuplicateTakesTheNextFillInNumber)
{
    Bench bench;
    DoxControl* first = bench.Add(100, 100, 20, 20);
    bench.Add(300, 100, 20, 20);
    GrabObjectCore* copy = first->Duplicate(0, 0);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetTabIndex(), 2);
    EXPECT_EQ(TemplateXml(bench.a.controls.back()), LineXml(100, -100, 20, 20, 2));
}

TEST(GrabCommands, PastedControlsAreOffsetWithinTheirLocks)
{
    struct Case {
        const char* what;
        bool shown;
        bool locked;
        int left, top;
    } cases[] = {
        {"on the canvas", true, false, 130, 140},
        {"locked", true, true, 100, 100},
        {"on no canvas", false, false, 100, 100},
    };
    for (const Case& c : cases) {
        Bench bench;
        DesignLayer loose;
        DoxControl* line =
            c.shown ? bench.Add(100, 100, 100, 50) : loose.Create(DoxKindLine, RECT{100, -100, 200, -150});
        ASSERT_NE(line, nullptr);
        if (c.locked) {
            ASSERT_TRUE(line->Basic().LockItem().SetValue(true));
        }
        line->OffsetBy(30, 40);
        EXPECT_EQ(TemplateXml(line), LineXml(c.left, -c.top, 100, 50, c.shown ? 0 : -1, c.locked)) << c.what;
    }
}
