// The split layout: grids laid out across the control, cells made from the
// column and row sets, the collection operations of the property grid, the XML
// of a set and the sizes typed for one grid.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <functional>

#include "SplitTestKinds.h"

using namespace controltest;
using namespace splittest;

namespace
{
void AddColumns(TestSplitControl& control, int n)
{
    for (int i = 0; i < n; ++i)
        ASSERT_NE(control.Columns().AppendGrid(), nullptr);
}

std::string SaveSet(DoxControlGridSet& set)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* element = doc.NewElement("dox:attribitem");
    doc.InsertEndChild(element);
    EXPECT_TRUE(set.SaveXml(element, true));
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}
} // namespace

TEST(SplitGrids, RelayoutSharesTheExtent)
{
    struct Case {
        const char* what;
        int width;
        std::vector<int> stored; // sizes before the layout; empty: as added
        bool even;
        std::vector<int> sizes;
        std::vector<int> offsets;
    } cases[] = {
        {"even, the last takes the rest", 105, {0, 0, 0, 0}, true, {26, 26, 26, 27}, {0, 26, 52, 78}},
        {"one column spans the width", 105, {40}, true, {105}, {0}},
        {"one column, uneven", 105, {40}, false, {105}, {0}},
        {"uneven keeps sizes", 300, {50, 60, 10}, false, {50, 60, 190}, {0, 50, 110}},
        {"the last keeps its size rather than go negative",
         100,
         {80, 60, 30},
         false,
         {80, 60, 30},
         {0, 80, 140}},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{100, -100, 100 + c.width, -300});
        AddColumns(*f.control, static_cast<int>(c.stored.size()));
        DoxControlGridSet& set = f.control->Columns();
        for (int i = 0; i < set.Count(); ++i) {
            if (c.stored[static_cast<size_t>(i)] > 0)
                set.GridAt(i)->StoreSize(c.stored[static_cast<size_t>(i)]);
        }
        set.Relayout(c.even);
        EXPECT_EQ(Sizes(set), c.sizes) << c.what;
        EXPECT_EQ(Offsets(set), c.offsets) << c.what;
        EXPECT_EQ(set.GetUValue(), static_cast<uint32_t>(set.Count())) << c.what;
    }
}

TEST(SplitGrids, RowsRunDownFromTheTopEdge)
{
    SplitFixture f(RECT{100, -100, 400, -400}, true);
    AddColumns(*f.control, 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(f.control->Rows()->AppendGrid(), nullptr);
    EXPECT_EQ(Sizes(*f.control->Rows()), (std::vector<int>{100, 100, 100}));
    const RECT rect = f.control->Cell(1)->GetRect();
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 400);
    EXPECT_EQ(rect.top, -200);
    EXPECT_EQ(rect.bottom, -300);
    // Points on the edges belong to the cell.
    EXPECT_TRUE(f.control->Cell(1)->HitTest(100, -200));
    EXPECT_TRUE(f.control->Cell(1)->HitTest(400, -300));
    EXPECT_FALSE(f.control->Cell(1)->HitTest(250, -301));
    // The control's minimum height keeps every row but the last and room for it.
    SIZE minimum;
    f.control->GetMinSize(&minimum);
    EXPECT_EQ(minimum.cy, 210);
    EXPECT_EQ(minimum.cx, 10);
}

TEST(SplitGrids, CellsAreMadeRowByRow)
{
    struct Case {
        int columns;
        int rows;                               // -1: no row set
        std::vector<std::pair<int, int>> cells; // (column, row) in order
    } cases[] = {
        {3, 2, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},
        {2, -1, {{0, 0}, {1, 0}}},
        {0, -1, {}},
        {0, 2, {}},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -200}, c.rows >= 0);
        AddColumns(*f.control, c.columns);
        for (int r = 0; r < c.rows; ++r)
            ASSERT_NE(f.control->Rows()->AppendGrid(), nullptr);
        TestContainer& cells = f.control->Cells();
        ASSERT_EQ(cells.CellCount(), static_cast<int>(c.cells.size())) << c.columns << "x" << c.rows;
        for (int i = 0; i < cells.CellCount(); ++i) {
            DoxControlCell* cell = cells.CellAt(i);
            EXPECT_EQ(cell->GetIndex(), i);
            EXPECT_EQ(cell->GetColumnIndex(), c.cells[static_cast<size_t>(i)].first);
            EXPECT_EQ(cell->GetRowIndex(), c.cells[static_cast<size_t>(i)].second);
            EXPECT_EQ(cell->GetColumn(), f.control->Columns().GridAt(cell->GetColumnIndex()));
            EXPECT_EQ(cell->GetContainer(), &cells);
        }
    }
}

TEST(SplitGrids, NavigationSkipsCellsWithoutInput)
{
    SplitFixture f(RECT{0, 0, 300, -200}, true);
    AddColumns(*f.control, 3);
    for (int r = 0; r < 2; ++r)
        f.control->Rows()->AppendGrid();
    static_cast<TestCol*>(f.control->Columns().GridAt(1))->input = false;
    static_cast<TestCol*>(f.control->Columns().GridAt(2))->input = false;
    // Cells 0 and 3 take input (column 0 of each row).
    struct Case {
        int from;
        int next, prev; // -1: none
    } cases[] = {{0, 3, -1}, {1, 3, 0}, {3, -1, 0}, {5, -1, 3}};
    TestContainer& cells = f.control->Cells();
    auto indexOf = [](DoxControlBase* field) {
        return field ? static_cast<DoxControlCell*>(field)->GetIndex() : -1;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(indexOf(cells.CellAt(c.from)->NextField()), c.next) << c.from;
        EXPECT_EQ(indexOf(cells.CellAt(c.from)->PrevField()), c.prev) << c.from;
    }
    EXPECT_EQ(cells.FirstInput(), cells.CellAt(0));
    EXPECT_EQ(cells.LastInput(), cells.CellAt(3));

    FakeRunner runner;
    f.control->SetPageRunner(&runner);
    // A click on a cell that takes no input is not taken; one that does becomes
    // the runner's field.
    EXPECT_FALSE(cells.OnRunClick(150, -50));
    EXPECT_FALSE(cells.HitTest(150, -50));
    EXPECT_EQ(runner.focus, nullptr);
    EXPECT_TRUE(cells.OnRunClick(50, -150));
    EXPECT_EQ(runner.focus, cells.CellAt(3));
    EXPECT_EQ(cells.CellAt(3)->IsWholeControl(), 0);
    cells.CellAt(3)->InvalidateField(0);
    ASSERT_EQ(runner.invalidated.size(), 1u);
    EXPECT_EQ(runner.invalidated[0].left, 0);
    EXPECT_EQ(runner.invalidated[0].right, 100);
    EXPECT_EQ(runner.invalidated[0].top, -100);
    f.control->SetPageRunner(nullptr);
}

TEST(SplitGrids, CollectionOperationsRelayoutRebuildAndNotify)
{
    struct Case {
        const char* what;
        std::function<bool(DoxControlGridSet&)> op;
        bool result;
        std::vector<int> order; // grids by their original index
        std::vector<int> sizes;
        bool notified;
    } cases[] = {
        {"first towards the front",
         [](DoxControlGridSet& s) { return s.MoveElement(0, true); },
         false,
         {0, 1, 2},
         {50, 100, 150},
         false},
        {"last towards the back",
         [](DoxControlGridSet& s) { return s.MoveElement(2, false); },
         false,
         {0, 1, 2},
         {50, 100, 150},
         false},
        {"out of range",
         [](DoxControlGridSet& s) { return s.MoveElement(3, true); },
         false,
         {0, 1, 2},
         {50, 100, 150},
         false},
        {"second towards the front",
         [](DoxControlGridSet& s) { return s.MoveElement(1, true); },
         true,
         {1, 0, 2},
         {100, 100, 100},
         true},
        {"first towards the back",
         [](DoxControlGridSet& s) { return s.MoveElement(0, false); },
         true,
         {1, 0, 2},
         {100, 100, 100},
         true},
        {"remove out of range",
         [](DoxControlGridSet& s) {
             s.RemoveElement(5);
             return true;
         },
         true,
         {0, 1, 2},
         {50, 100, 150},
         false},
        {"remove the middle",
         [](DoxControlGridSet& s) {
             s.RemoveElement(1);
             return true;
         },
         true,
         {0, 2},
         {150, 150},
         true},
        {"remove the last",
         [](DoxControlGridSet& s) {
             s.RemoveElement(2);
             return true;
         },
         true,
         {0, 1},
         {150, 150},
         true},
        {"add",
         [](DoxControlGridSet& s) { return s.AddElement(); },
         true,
         {0, 1, 2, 3},
         {75, 75, 75, 75},
         true},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -100});
        AddColumns(*f.control, 3);
        DoxControlGridSet& set = f.control->Columns();
        set.GridAt(0)->StoreSize(50);
        set.GridAt(1)->StoreSize(100);
        set.Relayout(false);
        std::vector<DoxControlGrid*> original;
        for (int i = 0; i < set.Count(); ++i)
            original.push_back(set.GridAt(i));
        const int modified = f.layer.modified;

        EXPECT_EQ(c.op(set), c.result) << c.what;

        ASSERT_EQ(set.Count(), static_cast<int>(c.order.size())) << c.what;
        EXPECT_EQ(set.GetElementCount(), set.Count());
        for (size_t i = 0; i < c.order.size(); ++i) {
            if (c.order[i] < 3) {
                EXPECT_EQ(set.GridAt(static_cast<int>(i)), original[static_cast<size_t>(c.order[i])])
                    << c.what;
            }
            // Each line leads to the grid after it; the last leads nowhere.
            DoxControlGrid* next = i + 1 < c.order.size() ? set.GridAt(static_cast<int>(i) + 1) : nullptr;
            EXPECT_EQ(set.GridAt(static_cast<int>(i))->Next(), next) << c.what << " " << i;
        }
        EXPECT_EQ(Sizes(set), c.sizes) << c.what;
        EXPECT_EQ(f.control->Cells().CellCount(), set.Count()) << c.what;
        EXPECT_EQ(f.layer.modified > modified, c.notified) << c.what;
    }
}

TEST(SplitGrids, AKindThatMakesNoGridAddsNothing)
{
    SplitFixture f;
    AddColumns(*f.control, 1);
    f.control->Columns().refuse = true;
    EXPECT_FALSE(f.control->Columns().AddElement());
    EXPECT_EQ(f.control->Columns().Count(), 1);
    EXPECT_EQ(f.control->Cells().CellCount(), 1);
}

TEST(SplitGrids, SetXmlRoundTripsByteForByte)
{
    SplitFixture f(RECT{0, 0, 300, -200}, true);
    AddColumns(*f.control, 3);
    f.control->Columns().GridAt(0)->StoreSize(70);
    f.control->Columns().GridAt(1)->StoreSize(95);
    f.control->Columns().Relayout(false);
    f.control->Rows()->AppendGrid();
    f.control->Rows()->AppendGrid();
    const std::string columns = SaveSet(f.control->Columns());
    EXPECT_EQ(columns, "<dox:attribitem id=\"column\">\n"
                       "    <dox:attribset id=\"col\">\n"
                       "        <dox:attrib id=\"base\">\n"
                       "            <dox:attribitem id=\"cx\" value=\"70\"/>\n"
                       "        </dox:attrib>\n"
                       "    </dox:attribset>\n"
                       "    <dox:attribset id=\"col\">\n"
                       "        <dox:attrib id=\"base\">\n"
                       "            <dox:attribitem id=\"cx\" value=\"95\"/>\n"
                       "        </dox:attrib>\n"
                       "    </dox:attribset>\n"
                       "    <dox:attribset id=\"col\">\n"
                       "        <dox:attrib id=\"base\">\n"
                       "            <dox:attribitem id=\"cx\" value=\"135\"/>\n"
                       "        </dox:attrib>\n"
                       "    </dox:attribset>\n"
                       "</dox:attribitem>\n");

    // The whole control, saved, loaded into a fresh one and saved again.
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("root");
    doc.InsertEndChild(root);
    ASSERT_TRUE(f.control->SaveXml(root));
    tinyxml2::XMLPrinter first;
    doc.Print(&first);

    SplitFixture g(RECT{0, 0, 10, -10}, true);
    AddColumns(*g.control, 1);
    ASSERT_TRUE(g.control->LoadXml(root->FirstChildElement("dox:control")));
    EXPECT_EQ(Sizes(g.control->Columns()), (std::vector<int>{70, 95, 135}));
    EXPECT_EQ(g.control->Columns().GridAt(1)->GetLastSize(), 95);
    EXPECT_EQ(Sizes(*g.control->Rows()), (std::vector<int>{100, 100}));
    EXPECT_EQ(g.control->Cells().CellCount(), 6);
    tinyxml2::XMLDocument again;
    tinyxml2::XMLElement* root2 = again.NewElement("root");
    again.InsertEndChild(root2);
    ASSERT_TRUE(g.control->SaveXml(root2));
    tinyxml2::XMLPrinter second;
    again.Print(&second);
    EXPECT_STREQ(first.CStr(), second.CStr());
}

TEST(SplitGrids, LoadingTakesOnlyGridElements)
{
    struct Case {
        const char* what;
        const char* xml;
        bool loads;
        int grids;
    } cases[] = {
        {"no child", "<dox:attribitem id=\"column\"/>", true, 0},
        {"other children skipped",
         "<dox:attribitem id=\"column\"><note/><dox:attribset id=\"col\"/><x/></dox:attribitem>", true, 1},
        {"a row element in a column set",
         "<dox:attribitem id=\"column\"><dox:attribset id=\"row\"/></dox:attribitem>", false, 1},
        {"another set's key", "<dox:attribitem id=\"row\"><dox:attribset id=\"col\"/></dox:attribitem>",
         false, 2},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -100});
        AddColumns(*f.control, 2);
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(c.xml), tinyxml2::XML_SUCCESS) << c.what;
        EXPECT_EQ(f.control->Columns().LoadXml(doc.RootElement()), c.loads) << c.what;
        EXPECT_EQ(f.control->Columns().Count(), c.grids) << c.what;
        EXPECT_EQ(f.control->Columns().GetUValue(), static_cast<uint32_t>(c.grids)) << c.what;
    }
}

TEST(SplitGrids, WithoutGridsThePlaceholderIsDrawn)
{
    SplitFixture f(RECT{0, 0, 300, -100});
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<dox:attribitem id=\"column\"/>"), tinyxml2::XML_SUCCESS);
    AddColumns(*f.control, 2);
    ASSERT_TRUE(f.control->Columns().LoadXml(doc.RootElement()));
    EXPECT_EQ(f.control->Cells().CellCount(), 0);
    RecordingDC dc;
    f.control->Cells().DrawDesign(dc);
    ASSERT_EQ(dc.drawn.size(), 1u);
    EXPECT_EQ(dc.drawn[0].text, L"<请拆分控件>");
    EXPECT_EQ(dc.drawn[0].rect.right, 300);
    EXPECT_EQ(dc.drawn[0].rect.bottom, -100);

    // With grids each cell draws itself instead.
    AddColumns(*f.control, 2);
    RecordingDC cells;
    f.control->Cells().DrawDesign(cells);
    EXPECT_EQ(cells.Joined(), L"c0r0|c1r0|");
}

TEST(SplitGrids, TypedSizeKeepsTheNeighbourAtTheMinimum)
{
    struct Case {
        int grid;
        const wchar_t* typed;
        bool accepted;
        std::vector<int> sizes;
        std::vector<int> offsets;
    } cases[] = {
        {0, L"19.0mm", true, {190, 10, 100}, {0, 190, 200}},
        // The next column would be 9: refused, nothing moves.
        {0, L"19.1mm", false, {100, 100, 100}, {0, 100, 200}},
        {1, L"5.0mm", true, {100, 50, 150}, {0, 100, 150}},
        {1, L"0.9mm", false, {100, 100, 100}, {0, 100, 200}},
        // The last column moves the line before it the other way.
        {2, L"15.0mm", true, {100, 50, 150}, {0, 100, 150}},
        {2, L"5.0mm", true, {100, 150, 50}, {0, 100, 250}},
        {2, L"19.5mm", false, {100, 100, 100}, {0, 100, 200}},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -100});
        AddColumns(*f.control, 3);
        DoxControlGridSet& set = f.control->Columns();
        DoxAttribItemSize& size = set.GridAt(c.grid)->Base().SizeItem();
        EXPECT_EQ(size.SetValueText(c.typed), c.accepted) << c.grid << " " << c.typed;
        EXPECT_EQ(Sizes(set), c.sizes) << c.grid << " " << c.typed;
        EXPECT_EQ(Offsets(set), c.offsets) << c.grid << " " << c.typed;
        if (!c.accepted) {
            EXPECT_STREQ(size.GetErrorText(), L"超出有效范围");
        }
        // The layout that follows keeps what was typed.
        set.Relayout(false);
        EXPECT_EQ(Sizes(set), c.sizes) << c.grid << " " << c.typed;
    }
}

TEST(SplitGrids, ASingleColumnIgnoresItsTypedWidth)
{
    SplitFixture f(RECT{0, 0, 300, -100});
    AddColumns(*f.control, 1);
    EXPECT_TRUE(f.control->Columns().GridAt(0)->Base().SizeItem().SetValueText(L"5.0mm"));
    EXPECT_EQ(Sizes(f.control->Columns()), (std::vector<int>{300}));
}

TEST(SplitGrids, DraggedLinesMoveTheBoundaryBetweenTwoGrids)
{
    struct Case {
        const char* what;
        int line;  // grid whose far edge is dragged
        int start; // x of the button down
        int to;    // x of the button up
        bool taken;
        std::vector<int> sizes;
    } cases[] = {
        {"right by 30", 0, 100, 130, true, {130, 70, 100}},
        {"left by 40", 1, 200, 160, true, {100, 60, 140}},
        {"click without a move", 0, 100, 100, true, {100, 100, 100}},
        {"stopped a splitter size before the next line", 0, 100, 205, true, {184, 16, 100}},
        {"the line after the last grid never reacts", 2, 300, 250, false, {100, 100, 100}},
        {"off the line", 0, 150, 180, false, {100, 100, 100}},
    };
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -100});
        AddColumns(*f.control, 3);
        DoxControlGridSet& set = f.control->Columns();
        const bool taken = set.BeginSplitterDrag(c.start, -50);
        EXPECT_EQ(taken, c.taken) << c.what;
        if (taken) {
            GrabPane* line = nullptr;
            // Small steps, as the mouse moves.
            const int step = c.to > c.start ? 5 : -5;
            for (int x = c.start; x != c.to && (x - c.to) * step < 0; x += step)
                EXPECT_TRUE(set.DragSplitter(nullptr, x, -50, &line)) << c.what;
            EXPECT_TRUE(set.EndSplitterDrag(c.to, -50)) << c.what;
        }
        EXPECT_EQ(Sizes(set), c.sizes) << c.what;
        int sum = 0;
        for (int s : Sizes(set))
            sum += s;
        EXPECT_EQ(sum, 300) << c.what;
    }
}

TEST(SplitGrids, DraggedRowLinesMoveDownAndUp)
{
    struct Case {
        int start, to; // y of button down and up
        std::vector<int> sizes;
    } cases[] = {{-100, -130, {130, 70, 100}}, {-200, -150, {100, 50, 150}}};
    for (const Case& c : cases) {
        SplitFixture f(RECT{0, 0, 300, -300}, true);
        AddColumns(*f.control, 1);
        for (int i = 0; i < 3; ++i)
            f.control->Rows()->AppendGrid();
        DoxControl& control = *f.control;
        // Through the control's design face, as the design window offers the mouse.
        ASSERT_EQ(control.HitSplitter(nullptr, 150, c.start), 1);
        const int step = c.to < c.start ? -5 : 5;
        GrabPane* line = nullptr;
        for (int y = c.start + step; (c.to - y) * step >= 0; y += step)
            EXPECT_EQ(control.FindSplitter(&line, nullptr, 150, y), 1);
        EXPECT_EQ(control.TestSplitter(nullptr, 150, c.to), 1);
        EXPECT_EQ(Sizes(*f.control->Rows()), c.sizes);
        EXPECT_EQ(f.control->Cell(1)->GetRect().top, -c.sizes[0]);
    }
}
