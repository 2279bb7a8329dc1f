// The grid lines of a table on the design canvas: dragged through the engine's
// mouse records, they follow with an XOR line, snap to the grid, keep both
// neighbours at least one splitter size wide, hold the mouse while dragging and
// show the sizing pointer over them.

#include <gtest/gtest.h>

#include "DesignBench.h"
#include "DoxTableControl.h"

using namespace designtest;

namespace
{

// A table at (100, 100), 300 x 200, three columns of 100 and two rows of 100:
// column lines at x 200, 300 and 400 (the last inert), a row line at y 200.
DoxTableControl* AddTable(Bench& bench)
{
    auto* table = static_cast<DoxTableControl*>(bench.Add(100, 100, 300, 200, nullptr, DoxKindTable));
    if (!table)
        return nullptr;
    while (table->Columns().Count() < 3)
        table->Columns().AddElement();
    while (table->Rows().Count() < 2)
        table->Rows().AddElement();
    return table;
}

// The XML with the sizes of the columns ("cx" after the control's own) and of the
// rows ("cy" after the control's own) set to the given values, as a hand edits it.
std::string WithSizes(std::string xml, const std::vector<int>& columns, const std::vector<int>& rows)
{
    auto edit = [&xml](const std::string& key, const std::vector<int>& sizes) {
        const std::string head = "<dox:attribitem id=\"" + key + "\" value=\"";
        size_t at = xml.find(head); // the control's own size
        for (int size : sizes) {
            at = xml.find(head, at + 1);
            if (at == std::string::npos)
                return;
            const size_t from = at + head.size();
            xml.replace(from, xml.find('"', from) - from, std::to_string(size));
        }
    };
    edit("cx", columns);
    edit("cy", rows);
    return xml;
}

std::vector<int> Sizes(DoxControlGridSet& set)
{
    std::vector<int> sizes;
    for (int i = 0; i < set.Count(); ++i)
        sizes.push_back(set.GridAt(i)->GetSize());
    return sizes;
}

} // namespace

TEST(GrabSplitters, DraggedLinesMoveSnapAndKeepTheirNeighbours)
{
    struct Case {
        const char* what;
        bool snap;
        int x0, y0, x1, y1;
        int steps;
        std::vector<int> columns, rows;
    } cases[] = {
        {"column line right", false, 200, 150, 235, 150, 7, {135, 65, 100}, {100, 100}},
        {"column line left", false, 300, 150, 260, 150, 8, {100, 60, 140}, {100, 100}},
        {"stops a splitter size from the line before",
         false,
         200,
         150,
         40,
         150,
         32,
         {10, 190, 100},
         {100, 100}},
        {"stops a splitter size from the line after",
         false,
         200,
         150,
         330,
         150,
         26,
         {190, 10, 100},
         {100, 100}},
        {"dropped on the grid", true, 200, 150, 233, 150, 1, {140, 60, 100}, {100, 100}},
        {"row line down", false, 150, 200, 150, 230, 6, {100, 100, 100}, {130, 70}},
    };
    for (const Case& c : cases) {
        Bench bench;
        bench.canvas.SetSnap(c.snap);
        DoxTableControl* table = AddTable(bench);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(Sizes(table->Columns()), (std::vector<int>{100, 100, 100}));
        const int modified = bench.a.modified;
        const std::string before = TemplateXml(table);
        EXPECT_EQ(bench.Down(0, c.x0, c.y0), 1) << c.what;
        EXPECT_TRUE(bench.host.captured) << c.what;
        for (int i = 1; i <= c.steps; ++i)
            bench.Move(0, c.x0 + (c.x1 - c.x0) * i / c.steps, c.y0 + (c.y1 - c.y0) * i / c.steps);
        EXPECT_EQ(bench.host.Outlines().size(), 1u) << c.what; // the line follows
        EXPECT_EQ(bench.Up(0, c.x1, c.y1), 1) << c.what;
        EXPECT_EQ(Sizes(table->Columns()), c.columns) << c.what;
        EXPECT_EQ(Sizes(table->Rows()), c.rows) << c.what;
        EXPECT_EQ(TemplateXml(table), WithSizes(before, c.columns, c.rows)) << c.what;
        EXPECT_GT(bench.a.modified, modified) << c.what;
        EXPECT_FALSE(bench.host.captured) << c.what;
        EXPECT_TRUE(bench.host.Outlines().empty()) << c.what;
    }
}

TEST(GrabSplitters, AClickOnALineChangesNothing)
{
    Bench bench;
    DoxTableControl* table = AddTable(bench);
    ASSERT_NE(table, nullptr);
    const int modified = bench.a.modified;
    bench.Down(0, 200, 150);
    bench.Move(0, 200, 150);
    bench.Up(0, 200, 150);
    EXPECT_EQ(Sizes(table->Columns()), (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(bench.a.modified, modified);
    EXPECT_EQ(bench.host.feedbackDraws, 0);
    EXPECT_FALSE(bench.host.captured);
}

TEST(GrabSplitters, PointerOverALineAndTheInertLastLine)
{
    Bench bench;
    DoxTableControl* table = AddTable(bench);
    ASSERT_NE(table, nullptr);
    bench.host.cursor = GrabCursor::Arrow;
    EXPECT_EQ(bench.Move(0, 202, 150), 1);
    EXPECT_EQ(bench.host.cursor, GrabCursor::SizeWE);
    EXPECT_EQ(bench.Move(0, 150, 198), 1);
    EXPECT_EQ(bench.host.cursor, GrabCursor::SizeNS);
    // The line after the last column and the one after the last row never react.
    GrabPane* line = nullptr;
    for (POINT p : {POINT{400, -150}, POINT{398, -150}, POINT{150, -300}}) {
        EXPECT_EQ(table->HitSplitter(nullptr, p.x, p.y), 0) << p.x << "," << p.y;
        EXPECT_EQ(table->FindSplitter(&line, nullptr, p.x, p.y), 0) << p.x << "," << p.y;
        EXPECT_EQ(table->TestSplitter(nullptr, p.x, p.y), 0) << p.x << "," << p.y;
    }
    EXPECT_FALSE(bench.host.captured);
    // While another drag holds the mouse, passing over a line changes no pointer.
    bench.Down(0, 250, 250); // the table's move handle
    bench.host.cursor = GrabCursor::Arrow;
    GrabNode* node = bench.NodeOf(table);
    ASSERT_TRUE(node->GetHandle(GrabNode::C)->IsDragging());
    EXPECT_EQ(table->FindSplitter(&line, nullptr, 200, -150), 0);
    EXPECT_EQ(bench.host.cursor, GrabCursor::Arrow);
    bench.Up(0, 250, 250);
}
