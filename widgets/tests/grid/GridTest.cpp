// The report grid with real input on the offscreen platform: sorting by title clicks,
// separator drags, the focus row across deletions, check marks and the find filter.

#include "MyGridCtrl.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>

using brindle::MakeRect;

namespace
{

class GridTest : public testing::Test
{
protected:
    void SetUp() override
    {
        grid.Create(WS_VISIBLE, MakeRect(0, 0, 400, 300), nullptr, 5);
        grid.AddColumn(L"编号", 80, kGridSortable);
        grid.AddColumn(L"金额", 100, kGridSortable | kGridAlignRight);
        grid.AddColumn(L"备注", 120, kGridAlignLeft);
        for (const wchar_t* id : {L"0003", L"0001", L"0004", L"0002"}) {
            int row = grid.AddItem(id, std::wcstoull(id, nullptr, 10));
            grid.SetItemText(row, 1, id);
        }
        grid.Relayout();
        grid.activateWindow();
        QApplication::processEvents();
    }
    std::vector<std::wstring> Column0()
    {
        std::vector<std::wstring> out;
        for (int i = 0; i < grid.GetItemCount(); ++i)
            out.push_back(grid.GetItemText(i, 0));
        return out;
    }
    // A point on the header pane inside column `c`'s title.
    QPoint Title(int c)
    {
        return QPoint(grid.GetHeader()->ColumnLeft(c) + grid.GetColumnWidth(c) / 2, 5);
    }
    void Drag(QWidget* w, Qt::MouseButtons held, QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }

    MyGridCtrl grid;
};

TEST_F(GridTest, TitleClicksSortAscendingDescendingAscending)
{
    const std::vector<std::wstring> ascending{L"0001", L"0002", L"0003", L"0004"};
    const std::vector<std::wstring> descending{L"0004", L"0003", L"0002", L"0001"};
    grid.SetFocusItem(0); // "0003"
    struct Step {
        std::vector<std::wstring> order;
        int mark;
    } steps[] = {{ascending, -1}, {descending, 1}, {ascending, -1}};
    for (const Step& step : steps) {
        QTest::mouseClick(grid.GetHeader(), Qt::LeftButton, {}, Title(0));
        EXPECT_EQ(step.order, Column0());
        EXPECT_EQ(step.mark, grid.GetColumnSortMark(0));
        // The focus follows its bill.
        EXPECT_EQ(std::wstring(L"0003"), grid.GetItemText(grid.GetFocusItem(), 0));
    }
    // Sorting another column clears the first one's mark; a column without the
    // sort bit only presses and releases.
    QTest::mouseClick(grid.GetHeader(), Qt::LeftButton, {}, Title(1));
    EXPECT_EQ(0, grid.GetColumnSortMark(0));
    EXPECT_EQ(-1, grid.GetColumnSortMark(1));
    std::vector<std::wstring> before = Column0();
    QTest::mouseClick(grid.GetHeader(), Qt::LeftButton, {}, Title(2));
    EXPECT_EQ(before, Column0());
    EXPECT_EQ(0, grid.GetColumnSortMark(2));
}

TEST_F(GridTest, SeparatorDragStopsAtTheMinimumWidthAndResumesOnTheSeparator)
{
    MyGridHeader* header = grid.GetHeader();
    int edge = header->ColumnLeft(1) + grid.GetColumnWidth(1); // right edge of column 1
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(edge, 5));
    Drag(header, Qt::LeftButton, QPoint(edge + 20, 5));
    EXPECT_EQ(120, grid.GetColumnWidth(1));
    Drag(header, Qt::LeftButton, QPoint(edge - 200, 5));
    EXPECT_EQ(kGridMinColumnWidth, grid.GetColumnWidth(1));
    // Back to the right, but not yet over the separator: nothing moves.
    int stopped = header->ColumnLeft(1) + kGridMinColumnWidth;
    Drag(header, Qt::LeftButton, QPoint(stopped - 30, 5));
    Drag(header, Qt::LeftButton, QPoint(stopped - 10, 5));
    EXPECT_EQ(kGridMinColumnWidth, grid.GetColumnWidth(1));
    // Over the separator again, the drag follows the cursor.
    Drag(header, Qt::LeftButton, QPoint(stopped, 5));
    Drag(header, Qt::LeftButton, QPoint(stopped + 25, 5));
    EXPECT_EQ(kGridMinColumnWidth + 25, grid.GetColumnWidth(1));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(stopped + 25, 5));
    EXPECT_EQ(80 + 40 + 120, header->TotalWidth());
}

TEST_F(GridTest, TheFocusIndexFollowsItsRowOrGoesWithIt)
{
    grid.SetFocusItem(2); // "0004"
    grid.DeleteItem(0);   // above it
    EXPECT_EQ(1, grid.GetFocusItem());
    EXPECT_EQ(std::wstring(L"0004"), grid.GetItemText(grid.GetFocusItem(), 0));
    grid.DeleteItem(2);   // below it
    EXPECT_EQ(1, grid.GetFocusItem());
    grid.DeleteItem(1);   // the focused row itself
    EXPECT_EQ(-1, grid.GetFocusItem());
    EXPECT_EQ(1, grid.GetClient()->newRow.focus);
    grid.SetFocusItem(0);
    grid.DeleteAllItems();
    EXPECT_EQ(-1, grid.GetFocusItem());
    EXPECT_EQ(-1, grid.RefreshFocus());
}

TEST_F(GridTest, CellsTakeValidRowsAndColumnsOnly)
{
    EXPECT_EQ(0, grid.SetItemText(0, -1, L"x"));
    EXPECT_EQ(2u, grid.GetClient()->rows[0]->cells.size());
    EXPECT_EQ(0, grid.SetItemText(9, 0, L"x"));
    EXPECT_EQ(1, grid.SetItemText(0, 4, L"far"));
    EXPECT_EQ(std::wstring(L"far"), grid.GetItemText(0, 4));
    EXPECT_EQ(std::wstring(), grid.GetItemText(0, 3));
    EXPECT_EQ(std::wstring(), grid.GetItemText(0, -1));
    EXPECT_EQ(std::wstring(), grid.GetColumnText(7));
    EXPECT_EQ(2, grid.FindItemData(4));
    EXPECT_EQ(-1, grid.FindItemData(99));
}

TEST_F(GridTest, CornerLeaderAndFindKeepTheCheckCount)
{
    // The corner checks every visible row when none is checked, then unchecks them.
    QPoint corner(5, 5);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, corner);
    EXPECT_EQ(4, grid.GetCheckCount());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, corner);
    EXPECT_EQ(0, grid.GetCheckCount());

    // A leader click toggles the row's check and focuses it.
    int h = grid.RowHeight();
    QTest::mouseClick(grid.GetLeader(), Qt::LeftButton, {}, QPoint(10, h + h / 2));
    EXPECT_EQ(1, grid.GetCheckCount());
    EXPECT_EQ(1, grid.GetFocusItem());
    EXPECT_EQ(1, grid.GetCheckNext(-1));

    // Find hides rows; hidden rows lose check and focus; an empty text shows all.
    grid.Find(0, L"0003");
    EXPECT_EQ(0, grid.IsItemVisible(1));
    EXPECT_EQ(0, grid.GetCheckCount());
    EXPECT_EQ(-1, grid.GetFocusItem());
    grid.Find(-1, L"");
    for (int i = 0; i < grid.GetItemCount(); ++i)
        EXPECT_EQ(1, grid.IsItemVisible(i));
    EXPECT_EQ(0, grid.IsItemChecked(1));
}

TEST_F(GridTest, ArrowKeysMoveTheFocusOverVisibleRows)
{
    grid.setFocus();
    grid.Find(0, L"000"); // all shown
    grid.SetFocusItem(-1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(0, grid.GetFocusItem());
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(3, grid.GetFocusItem());
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(3, grid.GetFocusItem());
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(0, grid.GetFocusItem());
    grid.Find(0, L"0001"); // only row 1 stays
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(1, grid.GetFocusItem());
}

} // namespace

TEST(GridCells, TextsComeBackAsTheyWentInAndSortInCharacterOrder)
{
    // Chinese, ASCII, characters beyond the 16-bit range, empty cells, and a row long
    // enough that its cell ends no longer fit in 16 bits.
    const std::wstring big(70000, L'汉');
    const std::vector<std::vector<std::wstring>> rows = {
        {L"00000001", L"北京市朝阳区", L"", L"1234.25", L"\U0002A6A5"},
        {L"x"},
        {big, L"尾", big},
        {},
    };
    for (const auto& texts : rows) {
        MyGridCells cells;
        cells.Assign(texts.data(), texts.size());
        ASSERT_EQ(cells.size(), texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(cells.Text(static_cast<int>(i)), texts[i]) << i;
        EXPECT_EQ(cells.Text(static_cast<int>(texts.size())), L"");
        EXPECT_EQ(cells.Text(-1), L"");
        MyGridCells copy = cells;
        EXPECT_EQ(copy.size(), texts.size());
        // Setting a cell past the end grows the row with empty cells.
        copy.Set(static_cast<int>(texts.size()) + 1, L"新");
        EXPECT_EQ(copy.size(), texts.size() + 2);
        EXPECT_EQ(copy.Text(static_cast<int>(texts.size())), L"");
        EXPECT_EQ(copy.Text(static_cast<int>(texts.size()) + 1), L"新");
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(copy.Text(static_cast<int>(i)), texts[i]) << i;
    }

    // A search over all cells finds a text inside one cell, never across two.
    const std::wstring parts[] = {L"北京", L"", L"朝阳区", L"北京"};
    MyGridCells row;
    row.Assign(parts, 4);
    for (const auto& [text, found] : std::vector<std::pair<std::string, bool>>{{"京朝", false},
                                                                               {"朝阳区", true},
                                                                               {"区北", false},
                                                                               {"京", true},
                                                                               {"", true},
                                                                               {"阳区北京", false}})
        EXPECT_EQ(row.Contains(text), found) << text;
    EXPECT_FALSE(MyGridCells().Contains("x"));

    // The grid sorts as the wide texts compare: by character, a prefix first.
    MyGridCtrl grid;
    grid.Create(0, MakeRect(0, 0, 200, 100), nullptr, 1);
    grid.AddColumn(L"名", 80, kGridSortable);
    std::vector<std::wstring> texts = {L"北京", L"b", L"\U0002A6A5", L"北", L"B", L"ａ", L"北京市", L""};
    for (const std::wstring& text : texts)
        grid.AddItem(text.c_str(), 0);
    grid.DoSort(0, true);
    std::sort(texts.begin(), texts.end());
    for (int i = 0; i < grid.GetItemCount(); ++i)
        EXPECT_EQ(grid.GetItemText(i, 0), texts[static_cast<size_t>(i)]) << i;
}

TEST_F(GridTest, ALongerSearchNarrowsAndAChangedCellIsLookedAtAgain)
{
    grid.SetItemText(0, 2, L"北京分行");
    grid.SetItemText(1, 2, L"北京东城");
    grid.SetItemText(2, 2, L"上海分行");
    auto visible = [this] {
        std::vector<int> out;
        for (int i = 0; i < grid.GetItemCount(); ++i)
            out.push_back(grid.IsItemVisible(i));
        return out;
    };
    grid.Find(-1, L"北");
    EXPECT_EQ(visible(), (std::vector<int>{1, 1, 0, 0}));
    grid.Find(-1, L"北京分");
    EXPECT_EQ(visible(), (std::vector<int>{1, 0, 0, 0}));
    // A hidden row whose text now matches shows on the next key.
    grid.SetItemText(2, 2, L"北京分理处");
    grid.Find(-1, L"北京分理");
    EXPECT_EQ(visible(), (std::vector<int>{0, 0, 1, 0}));
    // A shorter text, another column, no text: every row is looked at again.
    grid.Find(-1, L"北京");
    EXPECT_EQ(visible(), (std::vector<int>{1, 1, 1, 0}));
    grid.Find(2, L"北京");
    EXPECT_EQ(visible(), (std::vector<int>{1, 1, 1, 0}));
    grid.Find(1, L"北京");
    EXPECT_EQ(visible(), (std::vector<int>{0, 0, 0, 0}));
    grid.Find(1, L"");
    EXPECT_EQ(visible(), (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(GridTest, DeletingManyRowsAtOnceKeepsOrderChecksAndFocus)
{
    for (int i = 0; i < 6; ++i)
        grid.AddItem((L"r" + std::to_wstring(i)).c_str(), 100 + i);
    // Rows: 0003 0001 0004 0002 r0 .. r5
    grid.SetCheckItem(1, 1);
    grid.SetCheckItem(5, 1);
    grid.SetCheckItem(6, 1);
    grid.SetFocusItem(7); // r3
    EXPECT_EQ(grid.DeleteItems({6, 1, 4, 1, 99, -1}), 3);
    EXPECT_EQ(Column0(), (std::vector<std::wstring>{L"0003", L"0004", L"0002", L"r1", L"r3", L"r4", L"r5"}));
    EXPECT_EQ(grid.GetCheckCount(), 1);
    EXPECT_EQ(grid.GetFocusItem(), 4);
    EXPECT_EQ(grid.GetItemText(grid.GetFocusItem(), 0), L"r3");
    EXPECT_EQ(grid.DeleteItems({4}), 1);
    EXPECT_EQ(grid.GetFocusItem(), -1);
    EXPECT_EQ(grid.GetClient()->newRow.focus, 1);
    EXPECT_EQ(grid.DeleteItems({}), 0);
}
