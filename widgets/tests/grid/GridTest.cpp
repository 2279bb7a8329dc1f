// The report grid with real input on the offscreen platform: sorting by title clicks,
// separator drags, the focus row across deletions, check marks and the find filter.

#include "MyGridCtrl.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

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
