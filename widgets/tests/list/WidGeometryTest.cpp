// Row arithmetic: anchoring, the layout walk of both layouts, the icon layout's line
// moves, type-ahead matching and the row sort.

#include "RowSort.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace brindle;

namespace
{

struct AnchorCase {
    RECT row;
    RECT anchored;
    RECT expected;
};

TEST(WidGeometry, AnchoredRectanglesFollowTheRowEdges)
{
    const AnchorCase cases[] = {
        // From 4 px after the left edge to 30 px before the right, full height.
        {MakeRect(0, 0, 200, 20), MakeRect(4, 0, -30, 0), MakeRect(4, 0, 170, 20)},
        // A 20 px cell at the right end.
        {MakeRect(0, 0, 200, 20), MakeRect(-24, 2, -4, -2), MakeRect(176, 2, 196, 18)},
        // Fixed offsets from the top-left corner of a row that is not at the origin.
        {MakeRect(10, 40, 110, 60), MakeRect(2, 3, 22, 13), MakeRect(12, 43, 32, 53)},
        // The right-hand strip follows a wider row.
        {MakeRect(0, 0, 300, 20), MakeRect(-20, 0, 0, 0), MakeRect(280, 0, 300, 20)},
        {MakeRect(0, 100, 300, 124), MakeRect(-20, 0, 0, 0), MakeRect(280, 100, 300, 124)},
    };
    for (const AnchorCase& c : cases) {
        RECT r = AnchorRect(c.row, c.anchored);
        EXPECT_TRUE(RectEqual(r, c.expected)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(WidGeometry, ListLayoutStacksRowsWithTheSeparatorPixel)
{
    RECT area = MakeRect(0, 20, 100, 200);
    LayoutWalker plain(ListLayoutKind::List, area, 20, SIZE{32, 32}, false);
    EXPECT_TRUE(RectEqual(plain.Next(18), MakeRect(0, 20, 100, 38)));
    EXPECT_TRUE(RectEqual(plain.Next(24), MakeRect(0, 38, 100, 62)));
    LayoutWalker lined(ListLayoutKind::List, area, 10, SIZE{32, 32}, true);
    EXPECT_TRUE(RectEqual(lined.Next(18), MakeRect(0, 10, 100, 28)));
    EXPECT_TRUE(RectEqual(lined.Next(18), MakeRect(0, 29, 100, 47)));
}

TEST(WidGeometry, IconLinesHoldAsManyCellsAsTheWalkPlaces)
{
    // The cells per line used by Up and Down must be those the layout flows, for
    // widths that are and are not whole multiples of the cell.
    for (int width : {20, 32, 63, 64, 95, 96, 97, 100, 128, 300}) {
        RECT area = MakeRect(0, 0, width, 1000);
        LayoutWalker walk(ListLayoutKind::Icon, area, 0, SIZE{32, 40}, false);
        int onFirstLine = 0;
        for (int i = 0; i < 50; ++i)
            if (walk.Next(0).top == 0)
                ++onFirstLine;
        EXPECT_EQ(IconCellsPerLine(width, 32), onFirstLine) << "width " << width;
    }
    LayoutWalker walk(ListLayoutKind::Icon, MakeRect(0, 0, 100, 400), 5, SIZE{32, 40}, false);
    EXPECT_TRUE(RectEqual(walk.Next(0), MakeRect(0, 5, 32, 45)));
    EXPECT_TRUE(RectEqual(walk.Next(0), MakeRect(32, 5, 64, 45)));
    EXPECT_TRUE(RectEqual(walk.Next(0), MakeRect(64, 5, 96, 45)));
    EXPECT_TRUE(RectEqual(walk.Next(0), MakeRect(0, 45, 32, 85)));
}

TEST(WidGeometry, IconLineMovesStepByTheCellsOfALine)
{
    std::vector<RowState> rows(10);
    struct Case {
        int sel;
        int perLine;
        int up;
        int down;
    } cases[] = {
        {4, 3, 1, 7},   // middle line: one line up and down
        {1, 3, 1, 4},   // first line: Up stays
        {9, 3, 6, 9},   // last line: Down stays
        {7, 3, 4, 9},   // Down runs out on a later line: the last row
        {-1, 3, 0, 0},  // no selection: the first row
        {12, 3, 9, 9},  // beyond the rows: the last row
        {5, 1, 4, 6},   // one cell per line: one row at a time
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.up, PrevLineRow(rows, c.sel, c.perLine)) << c.sel;
        EXPECT_EQ(c.down, NextLineRow(rows, c.sel, c.perLine)) << c.sel;
    }
    // Hidden and disabled rows are stepped over.
    rows[2].visible = false;
    rows[6].enabled = false;
    EXPECT_EQ(0, PrevLineRow(rows, 4, 3));
    EXPECT_EQ(8, NextLineRow(rows, 4, 3));
    EXPECT_EQ(3, FirstVisibleEnabled(rows, 2));
    EXPECT_EQ(5, LastVisibleEnabled(rows, 6));
}

TEST(WidGeometry, TypeAheadMatching)
{
    EXPECT_TRUE(ContainsIgnoringCase(L"ab", L"xxABc"));
    EXPECT_TRUE(ContainsIgnoringCase(L"AB", L"cab"));
    EXPECT_FALSE(ContainsIgnoringCase(L"ab", L"a b"));
    EXPECT_TRUE(ContainsIgnoringCase(L"", L"anything"));
    EXPECT_TRUE(StartsWithIgnoringCase(L"b", L"Banana"));
    EXPECT_FALSE(StartsWithIgnoringCase(L"b", L"abc"));
    EXPECT_FALSE(StartsWithIgnoringCase(L"bana", L"ban"));
}

TEST(RowSort, SortsLikeTheStandardSortOnManyShapes)
{
    std::mt19937 random(7);
    for (int n : {0, 1, 2, 31, 32, 33, 100, 1000, 5000}) {
        for (int shape = 0; shape < 4; ++shape) {
            std::vector<int> v(n);
            for (int i = 0; i < n; ++i)
                v[i] = shape == 0 ? static_cast<int>(random() % 1000) : shape == 1 ? i : shape == 2 ? n - i : 5;
            std::vector<int> expected = v;
            std::sort(expected.begin(), expected.end());
            IntroSortRows(v, [](int a, int b) { return a < b; });
            EXPECT_EQ(expected, v) << "n " << n << " shape " << shape;
        }
    }
}

TEST(RowSort, ABrokenComparatorNeverLeavesTheRows)
{
    // Programs supply the comparison; one that says "before" for equal rows or
    // answers at random must not corrupt the rows (sanitizers watch the reads).
    std::mt19937 random(3);
    for (int n : {40, 500, 3000}) {
        std::vector<int> v(n);
        std::iota(v.begin(), v.end(), 0);
        IntroSortRows(v, [](int, int) { return true; });
        IntroSortRows(v, [&](int, int) { return (random() & 1) != 0; });
        std::vector<int> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(i, sorted[i]);
    }
}

} // namespace
