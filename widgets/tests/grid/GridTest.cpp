// The report grid with real input on the offscreen platform: sorting by title clicks,
// separator drags, the focus row across deletions, check marks and the find filter.

#include "MyGridCtrl.h"
#include "PaintCount.h"
#include "ShapedLine.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <functional>

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

TEST_F(GridTest, ARowSavedAfterTheLastRowsWentAtOnceTakesItsSortedPlace)
{
    // Sorted, the last two rows deleted in one call, then a bill saved: the next part
    // puts it in its place. Had the deletion counted the sorted rows wrong, the saved
    // row would be taken for one already placed and stay at the end.
    grid.HeaderClick(0); // 0001 0002 0003 0004
    EXPECT_EQ(grid.DeleteItems({2, 3}), 2);
    grid.AddItem(L"0000", 0);
    EXPECT_EQ(grid.PlaceNewRows(grid.GetItemCount()), 1);
    EXPECT_EQ(Column0(), (std::vector<std::wstring>{L"0000", L"0001", L"0002"}));
}

TEST(GridRows, RowsDeletedAndAddedAgainAcrossManySlabsEachKeepTheirOwnCells)
{
    // Rows live side by side in slabs of about a thousand: rows deleted here and there
    // leave places that new rows take, and a slab emptied goes back to the heap while
    // its neighbours still hold rows. A place handed out twice would show as two rows
    // with one text; under AddressSanitizer a row used after its deletion stops the run.
    MyGridCtrl grid;
    grid.Create(0, MakeRect(0, 0, 400, 300), nullptr, 1);
    grid.AddColumn(L"编号", 80, kGridSortable);
    grid.AddColumn(L"收款人", 80, 0);
    uint64_t next = 0;
    const auto add = [&](int count) {
        for (int i = 0; i < count; ++i, ++next) {
            const std::wstring id = std::to_wstring(next);
            const int row = grid.AddItem(id.c_str(), next);
            grid.SetItemText(row, 1, (L"北京" + id).c_str());
        }
    };
    const auto expectOwnCells = [&](const char* step) {
        for (int row = 0; row < grid.GetItemCount(); ++row) {
            const std::wstring id = std::to_wstring(grid.GetItemData(row));
            ASSERT_EQ(grid.GetItemText(row, 0), id) << step << " row " << row;
            ASSERT_EQ(grid.GetItemText(row, 1), L"北京" + id) << step << " row " << row;
        }
    };
    add(5000);
    std::vector<int> everyThird;
    for (int row = 0; row < grid.GetItemCount(); row += 3)
        everyThird.push_back(row);
    EXPECT_EQ(grid.DeleteItems(everyThird), static_cast<int>(everyThird.size()));
    add(3000);
    expectOwnCells("after every third row went and new ones came");
    // The first two slabs' rows, one at a time: those slabs empty out.
    for (int i = 0; i < 2000; ++i)
        grid.DeleteItem(0);
    add(1500);
    grid.DoSort(0, false);
    expectOwnCells("sorted after the first rows went");
    EXPECT_EQ(grid.GetItemCount(), 5000 - static_cast<int>(everyThird.size()) + 3000 - 2000 + 1500);
    grid.DeleteAllItems();
    add(2500);
    expectOwnCells("after every row went");
    EXPECT_EQ(grid.GetItemCount(), 2500);
}

namespace
{

// Rows of short cells over a few characters, so that a text is often found in part,
// runs over a cell's end or lies inside one cell; a row here and there with a long
// cell of one repeated pair (a text longer than any note kept of it), and one row so
// long that its cell ends no longer fit in 16 bits.
std::vector<std::vector<std::wstring>> ManyRows(size_t count)
{
    // One character beyond 16 bits, which takes four bytes.
    const wchar_t letters[] = {L'北', L'京', L'市', L'1', L'2', L'a', L'\U0002A6A5'};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    std::vector<std::vector<std::wstring>> rows(count);
    for (size_t r = 0; r < count; ++r) {
        auto& cells = rows[r];
        cells.resize(4);
        for (auto& cell : cells)
            for (uint32_t n = next(7); n > 0; --n)
                cell += letters[next(7)];
        if (r % 97 == 0) {
            std::wstring repeated;
            for (uint32_t n = 10 + next(20); n > 0; --n)
                repeated += L"北京";
            cells[1 + r % 3] = repeated;
        }
    }
    rows[count / 2][3] = std::wstring(70000, L'市') + L"北京1";
    return rows;
}

// What a find must show: the text inside one cell (column -1: any of them).
bool Holds(const std::vector<std::wstring>& cells, int column, const std::wstring& text)
{
    if (text.empty())
        return true;
    for (size_t c = 0; c < cells.size(); ++c)
        if ((column == -1 || column == static_cast<int>(c)) && cells[c].find(text) != std::wstring::npos)
            return true;
    return false;
}

} // namespace

TEST(GridFind, ManyRowsShowWhatEachRowHoldsKeyAfterKey)
{
    // Enough rows for the find to be shared out over threads, in stretches whose ends
    // fall anywhere among the rows that pass.
    auto texts = ManyRows(9000);
    // "a北京" finds this row's second "北京"; once the "a" is deleted, "北京1" is the
    // first one.
    texts[123][2] = L"北京1a北京";
    MyGridCtrl grid;
    grid.Create(0, MakeRect(0, 0, 400, 300), nullptr, 1);
    for (int c = 0; c < 4; ++c)
        grid.AddColumn(L"列", 80, 0);
    for (const auto& cells : texts)
        grid.SetItemTexts(grid.AddItem(nullptr, 0), cells.data(), static_cast<int>(cells.size()));
    // Ticked rows and a focus row, some of which the finds hide.
    for (int row = 0; row < grid.GetItemCount(); row += 5)
        grid.SetCheckItem(row, 1);
    const int focus = 4500;
    grid.SetFocusItem(focus);

    // Texts typed a key at a time (each holding the last), taken back, typed anew, in
    // a column and in all of them; a long repeated text goes past what a row's note
    // of its last find holds.
    const std::wstring longText = L"北京北京北京北京北京北京北京北京北京";
    std::vector<std::pair<int, std::wstring>> keys;
    for (const std::wstring& typed : {std::wstring(L"北京1a"), longText})
        for (size_t n = 1; n <= typed.size(); ++n)
            keys.emplace_back(-1, typed.substr(0, n));
    // BackSpace a key at a time down to one character, past the note's length and back.
    for (size_t n = longText.size() - 1; n >= 1; --n)
        keys.emplace_back(-1, longText.substr(0, n));
    // Typed on, taken back, a key typed at the start and deleted, a key typed in the
    // middle, BackSpace to nothing, then several keys taken back at once (a selection
    // deleted), the whole text replaced, and a key typed after keys were taken back.
    for (const wchar_t* text : {L"北京", L"北京1", L"北京", L"a北京", L"北京", L"北京1", L"北1京", L"北1", L"北", L"",
                                L"北", L"北京", L"北京1", L"北京1a", L"北", L"市a", L"市", L"", L"市北",
                                L"市", L"市1", L"市", L"京", L"京a", L"京", L"京a\U0002A6A5", L""})
        keys.emplace_back(-1, text);
    // "北京" after "京" holds it, but not at its start.
    for (const wchar_t* text :
         {L"京1", L"1", L"", L"市", L"市北", L"京", L"北京", L"北京1", L"\U0002A6A5北", L"a\U0002A6A5"})
        keys.emplace_back(-1, text);
    for (const wchar_t* text : {L"北", L"北京", L"北京北", L"a", L""})
        keys.emplace_back(2, text);
    keys.emplace_back(7, L"北");

    std::vector<char> shown(texts.size(), 1);
    for (const auto& [column, text] : keys) {
        grid.Find(column, text.c_str());
        int visible = 0;
        int ticked = 0;
        for (size_t r = 0; r < texts.size(); ++r) {
            const int row = static_cast<int>(r);
            const bool want = column < 4 && Holds(texts[r], column, text);
            ASSERT_EQ(grid.IsItemVisible(row), want ? 1 : 0) << "row " << r << " column " << column;
            shown[r] = shown[r] && want;
            visible += want;
            // A row keeps its tick only while it was never hidden.
            EXPECT_EQ(grid.IsItemChecked(row), r % 5 == 0 && shown[r] ? 1 : 0) << r;
            ticked += grid.IsItemChecked(row);
        }
        EXPECT_EQ(static_cast<int>(grid.GetClient()->Shown().size()), visible);
        EXPECT_EQ(grid.GetCheckCount(), ticked);
        EXPECT_EQ(grid.GetFocusItem(), shown[focus] ? focus : -1);
        const std::vector<int>& list = grid.GetClient()->Shown();
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
    }
}

TEST(GridFind, KeysTakenBackAfterTheRowsChangedShowWhatEachRowHolds)
{
    // Between the keys and their BackSpace the rows change: what the keys hid is no
    // longer what the shorter text hides, or the rows are no longer where they were.
    const auto firstRow = [](MyGridCtrl& grid, int visible) {
        for (int row = 0; row < grid.GetItemCount(); ++row)
            if (grid.IsItemVisible(row) == visible)
                return row;
        return -1;
    };
    struct Case {
        const char* name;
        std::function<void(MyGridCtrl&)> change;
    };
    const std::vector<Case> cases = {
        {"a hidden row's cell now holds the text",
         [&](MyGridCtrl& grid) { grid.SetItemText(firstRow(grid, 0), 2, L"a北京1a"); }},
        {"a shown row's cells replaced",
         [&](MyGridCtrl& grid) {
             const std::wstring cells[] = {L"市", L"a"};
             grid.SetItemTexts(firstRow(grid, 1), cells, 2);
         }},
        {"a shown row emptied", [&](MyGridCtrl& grid) { grid.DeleteItemText(firstRow(grid, 1)); }},
        {"sorted", [](MyGridCtrl& grid) { grid.DoSort(1, true); }},
        {"a hidden and a shown row deleted",
         [&](MyGridCtrl& grid) { grid.DeleteItems({firstRow(grid, 0), firstRow(grid, 1)}); }},
        {"rows added, one placed by the last find",
         [](MyGridCtrl& grid) {
             const int first = grid.GetItemCount();
             for (const wchar_t* text : {L"北京", L"1北京1", L"京"})
                 grid.SetItemTexts(grid.AddItem(nullptr, 0), std::vector<std::wstring>{L"", text}.data(), 2);
             grid.PlaceNewRows(first);
             grid.SetItemText(grid.AddItem(nullptr, 0), 3, L"北");
         }},
    };
    const auto texts = ManyRows(6000);
    for (const Case& c : cases) {
        MyGridCtrl grid;
        grid.Create(0, MakeRect(0, 0, 400, 300), nullptr, 1);
        for (int column = 0; column < 4; ++column)
            grid.AddColumn(L"列", 80, 0);
        for (const auto& cells : texts)
            grid.SetItemTexts(grid.AddItem(nullptr, 0), cells.data(), static_cast<int>(cells.size()));
        for (int row = 0; row < grid.GetItemCount(); row += 3)
            grid.SetCheckItem(row, 1);
        for (const wchar_t* text : {L"北", L"北京", L"北京1"})
            grid.Find(-1, text);
        c.change(grid);
        // Taken back, typed again, taken back to nothing.
        for (const wchar_t* text : {L"北京", L"北", L"北京", L"北京1", L"北", L""}) {
            grid.Find(-1, text);
            int visible = 0;
            int ticked = 0;
            for (int row = 0; row < grid.GetItemCount(); ++row) {
                std::vector<std::wstring> cells;
                for (int column = 0; column < 4; ++column)
                    cells.push_back(grid.GetItemText(row, column));
                const bool want = Holds(cells, -1, text);
                ASSERT_EQ(grid.IsItemVisible(row), want ? 1 : 0)
                    << c.name << ", row " << row << ", " << QString::fromWCharArray(text).toStdString();
                visible += want;
                if (grid.IsItemChecked(row)) {
                    EXPECT_TRUE(want) << c.name << ", a hidden row keeps its tick";
                    ++ticked;
                }
            }
            EXPECT_EQ(static_cast<int>(grid.GetClient()->Shown().size()), visible) << c.name;
            EXPECT_EQ(grid.GetCheckCount(), ticked) << c.name;
            const std::vector<int>& list = grid.GetClient()->Shown();
            EXPECT_TRUE(std::is_sorted(list.begin(), list.end())) << c.name;
        }
    }
}

TEST(GridFind, ARowFoundByItsWordAgainIsTheFirstRowHoldingItAfterRowsMoveOrChange)
{
    // The row asked for again and again (the bill on the page while its row is hidden)
    // is found once; each change below moves rows or words under that answer.
    struct Case {
        const char* name;
        std::function<void(MyGridCtrl&)> change;
    };
    const std::vector<Case> cases = {
        {"an earlier row takes the word", [](MyGridCtrl& grid) { grid.SetItemData(1, 30); }},
        {"the row gives up its word", [](MyGridCtrl& grid) { grid.SetItemData(3, 7); }},
        {"an earlier row deleted", [](MyGridCtrl& grid) { grid.DeleteItem(0); }},
        {"the row deleted", [](MyGridCtrl& grid) { grid.DeleteItem(3); }},
        {"rows deleted at once", [](MyGridCtrl& grid) { grid.DeleteItems({0, 2}); }},
        {"the row emptied", [](MyGridCtrl& grid) { grid.DeleteItemText(3); }},
        {"sorted", [](MyGridCtrl& grid) { grid.DoSort(0, false); }},
        {"every row deleted", [](MyGridCtrl& grid) { grid.DeleteAllItems(); }},
        {"rows added and placed under the sorted column",
         [](MyGridCtrl& grid) {
             grid.HeaderClick(0);
             const int first = grid.GetItemCount();
             grid.AddItem(L"0", 30);
             grid.AddItem(L"00", 31);
             grid.PlaceNewRows(first);
         }},
    };
    for (const Case& c : cases) {
        MyGridCtrl grid;
        grid.Create(0, MakeRect(0, 0, 300, 200), nullptr, 1);
        grid.AddColumn(L"号", 80, kGridSortable);
        for (int row = 0; row < 6; ++row)
            grid.AddItem(std::to_wstring(9 - row).c_str(), row == 3 || row == 5 ? 30 : 10 + row);
        ASSERT_EQ(grid.FindItemData(30), 3);
        c.change(grid);
        for (uint64_t data : {uint64_t{30}, uint64_t{31}, uint64_t{7}}) {
            int first = -1;
            for (int row = grid.GetItemCount(); row-- > 0;)
                if (grid.GetItemData(row) == data)
                    first = row;
            EXPECT_EQ(grid.FindItemData(data), first) << c.name << ", word " << data;
        }
    }
}

TEST(GridFind, AKeyThatChangesNoRowPaintsNoRow)
{
    MyGridCtrl grid;
    grid.Create(WS_VISIBLE, MakeRect(0, 0, 300, 200), nullptr, 1);
    grid.AddColumn(L"名", 100, 0);
    for (const wchar_t* text : {L"北京分行", L"北京东城", L"上海分行"})
        grid.AddItem(text, 0);
    grid.Relayout();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    doxtest::PaintCount probe;
    doxtest::PaintCount titles;
    grid.GetClient()->installEventFilter(&probe);
    grid.GetHeader()->installEventFilter(&titles);
    // Each key with whether it shows or hides a row; the rows are laid out again after
    // one that does, as the bill list does, and the column titles are not painted again.
    for (const auto& [text, changes] : std::vector<std::pair<const wchar_t*, int>>{
             {L"北", 1}, {L"北京", 0}, {L"北京分", 1}, {L"北京分行", 0}, {L"", 1}, {L"行", 1}}) {
        QApplication::processEvents();
        probe.paints = 0;
        titles.paints = 0;
        EXPECT_EQ(grid.Find(0, text), changes) << QString::fromWCharArray(text).toStdString();
        if (changes)
            grid.RelayoutRows();
        QApplication::processEvents();
        EXPECT_EQ(probe.paints > 0, changes != 0) << QString::fromWCharArray(text).toStdString();
        EXPECT_EQ(titles.paints, 0) << QString::fromWCharArray(text).toStdString();
    }
    grid.GetHeader()->removeEventFilter(&titles);
    grid.GetClient()->removeEventFilter(&probe);
}

TEST(GridParts, RowsThatComeInBelowTheScreenPaintNoRow)
{
    // Each case: where the list is scrolled to when a part of rows comes in at the
    // end, and whether the rows on screen change.
    struct Case {
        const char* name;
        int rowsBefore;
        bool scrolledToEnd;
        bool painted;
    };
    const Case cases[] = {
        {"many rows, the top on screen", 200, false, false},
        {"many rows, the end on screen", 200, true, true},
        {"a few rows, the new-row line on screen", 3, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MyGridCtrl grid;
        grid.Create(WS_VISIBLE, MakeRect(0, 0, 300, 200), nullptr, 1);
        grid.AddColumn(L"名", 100, 0);
        for (int i = 0; i < c.rowsBefore; ++i)
            grid.AddItem(L"北京", 0);
        grid.Relayout();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        // Laid out, the list shows its end (the new-row line has the focus).
        if (!c.scrolledToEnd)
            grid.ScrollToPosition(POINT{0, 0});
        const int top = grid.GetVScrollPos();
        QApplication::processEvents();
        doxtest::PaintCount rows;
        doxtest::PaintCount leader;
        grid.GetClient()->installEventFilter(&rows);
        grid.GetLeader()->installEventFilter(&leader);
        const int shownBefore = static_cast<int>(grid.GetClient()->Shown().size());
        const int limitBefore = grid.GetVScrollLimit();
        const int first = grid.GetItemCount();
        for (int i = 0; i < 50; ++i)
            grid.AddItem(L"上海", 0);
        ASSERT_EQ(grid.PlaceNewRows(first), 0);
        grid.RelayoutRowsAppended(shownBefore);
        QApplication::processEvents();
        EXPECT_EQ(rows.paints > 0, c.painted);
        EXPECT_EQ(leader.paints > 0, c.painted);
        // The list stays where it was, and it can be scrolled down to the new rows.
        EXPECT_EQ(grid.GetVScrollPos(), top);
        EXPECT_GT(grid.GetVScrollLimit(), limitBefore);
        grid.GetClient()->removeEventFilter(&rows);
        grid.GetLeader()->removeEventFilter(&leader);
    }
}

TEST(GridParts, RowsThatComeInPartByPartMeetTheFindAndTheSortedColumn)
{
    // A list read in parts: the first part is searched and sorted before the rest
    // come; between two parts the program adds a row of its own (a bill just saved).
    const auto texts = ManyRows(5754); // the parts below
    const std::vector<std::wstring> own = {L"自己", L"a", L"北", L"京"};
    const uint64_t ownId = 100000;
    struct Case {
        const char* name;
        int findColumn;
        const wchar_t* find;   // null: no find
        const wchar_t* longer; // typed on after the last part
        int sortColumn;
        int clicks; // 1 ascending, 2 descending
    };
    const Case cases[] = {
        {"neither", -1, nullptr, nullptr, 0, 0},
        {"find in every cell", -1, L"北京", L"北京1", 0, 0},
        {"find in a column, sorted ascending", 2, L"1", L"12", 1, 1},
        {"sorted descending", -1, nullptr, nullptr, 0, 2},
        {"find and sorted descending", -1, L"京", L"京1", 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MyGridCtrl grid;
        grid.Create(0, MakeRect(0, 0, 400, 300), nullptr, 1);
        for (int col = 0; col < 4; ++col)
            grid.AddColumn(L"列", 80, kGridSortable);
        size_t next = 0;
        const auto addPart = [&](size_t count) {
            const int first = grid.GetItemCount();
            for (; count > 0 && next < texts.size(); --count, ++next)
                grid.SetItemTexts(grid.AddItem(nullptr, next), texts[next].data(), 4);
            return first;
        };
        const auto cellsOf = [&](uint64_t id) -> const std::vector<std::wstring>& {
            return id == ownId ? own : texts[static_cast<size_t>(id)];
        };
        grid.PlaceNewRows(addPart(40));
        for (int row = 0; row < 40; row += 3)
            grid.SetCheckItem(row, 1);
        grid.SetFocusItem(7);
        if (c.find)
            grid.Find(c.findColumn, c.find);
        for (int i = 0; i < c.clicks; ++i)
            grid.HeaderClick(c.sortColumn);
        const bool focusShown = !c.find || Holds(texts[7], c.findColumn, c.find);

        bool ownAdded = false;
        for (size_t part : {1, 700, 13, 3000, 2000}) {
            if (part == 13) {
                grid.SetItemTexts(grid.AddItem(nullptr, ownId), own.data(), 4);
                ownAdded = true;
            }
            grid.PlaceNewRows(addPart(part));
            std::vector<int> visible;
            std::vector<uint64_t> ids;
            int ticked = 0;
            for (int row = 0; row < grid.GetItemCount(); ++row) {
                const uint64_t id = grid.GetItemData(row);
                ids.push_back(id);
                // The program's own row shows whatever it holds, as it did before.
                const bool want = !c.find || id == ownId || Holds(cellsOf(id), c.findColumn, c.find);
                ASSERT_EQ(grid.IsItemVisible(row), want ? 1 : 0) << "row " << row << " id " << id;
                if (want)
                    visible.push_back(row);
                ticked += grid.IsItemChecked(row);
                if (c.clicks > 0 && row > 0) {
                    const std::wstring before = grid.GetItemText(row - 1, c.sortColumn);
                    const std::wstring here = grid.GetItemText(row, c.sortColumn);
                    ASSERT_TRUE(c.clicks == 1 ? before <= here : before >= here) << "row " << row;
                }
            }
            EXPECT_EQ(grid.GetClient()->Shown(), visible);
            EXPECT_EQ(grid.GetCheckCount(), ticked);
            const int focus = grid.GetFocusItem();
            if (focusShown)
                EXPECT_EQ(grid.GetItemData(focus), 7u);
            else
                EXPECT_EQ(focus, -1);
            std::sort(ids.begin(), ids.end());
            EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
            EXPECT_EQ(ids.size(), next + (ownAdded ? 1 : 0));
        }
        ASSERT_EQ(next, texts.size());

        // The next key narrows over every row, the ones that came in included.
        if (c.longer) {
            grid.Find(c.findColumn, c.longer);
            for (int row = 0; row < grid.GetItemCount(); ++row)
                ASSERT_EQ(grid.IsItemVisible(row),
                          Holds(cellsOf(grid.GetItemData(row)), c.findColumn, c.longer) ? 1 : 0)
                    << "row " << row;
        }
    }
}

// The rows pane as a person sees it: bill texts in left, right and centred columns, cut
// with an ellipsis, on the focus and checked highlights, drawn from kept glyphs and by the
// full layout, must be the same pixels; a cell is drawn up to a NUL inside it.
TEST(GridPaint, TheScrollBarsArePaintedAsThoseOfTheApplicationStyle)
{
    // The grid's bars take a style of their own (the application's, drawn clipped): in a
    // window beside plain bars of the same size, range and place, they are the same pixels.
    QWidget window;
    window.resize(700, 300);
    MyGridCtrl grid;
    grid.Create(WS_VISIBLE | WS_CHILD, MakeRect(0, 0, 400, 200), &window, 1);
    grid.AddColumn(L"收款单位", 300, 0);
    grid.AddColumn(L"金额", 300, 0);
    for (int i = 0; i < 60; ++i)
        grid.AddItem(std::to_wstring(i).c_str(), 0);
    grid.Relayout();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QScrollBar* bars[2] = {nullptr, nullptr};
    for (QScrollBar* bar : grid.findChildren<QScrollBar*>())
        bars[bar->orientation() == Qt::Vertical ? 0 : 1] = bar;
    ASSERT_TRUE(bars[0] && bars[1] && bars[0]->isVisible() && bars[1]->isVisible());
    for (QScrollBar* bar : bars) {
        QScrollBar plain(bar->orientation(), &window);
        plain.setGeometry(QRect(QPoint(420, 20), bar->size()));
        plain.setRange(bar->minimum(), bar->maximum());
        plain.setPageStep(bar->pageStep());
        plain.show();
        for (int value : {bar->minimum(), (bar->minimum() + bar->maximum()) / 2, bar->maximum()}) {
            bar->setValue(value);
            plain.setValue(value);
            QApplication::processEvents();
            EXPECT_EQ(bar->grab().toImage(), plain.grab().toImage())
                << (bar->orientation() == Qt::Vertical ? "vertical" : "horizontal") << " at " << value;
        }
    }
}

TEST(GridPaint, TheTitlesOnScreenStayWholeWhileTheVerticalBarComesAndGoes)
{
    // The header keeps its pixels when the bar narrows it and paints only the strip a
    // wider header uncovers: on the screen it is, after every key, what a fresh paint of
    // the whole header draws. The last title runs past the edge, so the strip cuts it.
    MyGridCtrl grid;
    grid.Create(WS_VISIBLE, MakeRect(0, 0, 400, 160), nullptr, 1);
    grid.AddColumn(L"收款单位", 150, 0);
    grid.AddColumn(L"金额", 120, kGridAlignRight);
    grid.AddColumn(L"日期", 140, kGridAlignCenter);
    for (int i = 0; i < 30; ++i)
        grid.AddItem((i < 2 ? L"北京分行" : L"上海分行" + std::to_wstring(i)).c_str(), 0);
    grid.Relayout();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QWidget* header = grid.GetHeader();
    QScrollBar* vbar = nullptr;
    for (QScrollBar* bar : grid.findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical)
            vbar = bar;
    ASSERT_TRUE(vbar);
    for (const auto& [text, barShown] : std::vector<std::pair<const wchar_t*, bool>>{
             {L"", true}, {L"北京", false}, {L"", true}, {L"北", false}, {L"北京分行", false}, {L"分行", true}}) {
        if (grid.Find(0, text))
            grid.RelayoutRows();
        QApplication::processEvents();
        const std::string key = QString::fromWCharArray(text).toStdString();
        EXPECT_EQ(vbar->isVisible(), barShown) << key;
        const QImage screen = grid.screen()->grabWindow(grid.winId()).toImage();
        const QImage shown = screen.copy(QRect(header->mapTo(&grid, QPoint(0, 0)), header->size()));
        EXPECT_EQ(shown, header->grab().toImage().convertToFormat(shown.format())) << key;
    }
}

TEST(GridPaint, RowsFromKeptGlyphsAreThePixelsOfTheLayout)
{
    // Each grid alone on the screen, so each is the active window when painted.
    auto paint = [](const std::vector<std::vector<std::wstring>>& texts, bool kept) {
        MyGridCtrl grid;
        grid.Create(WS_VISIBLE, MakeRect(0, 0, 520, 200), nullptr, 1);
        grid.AddColumn(L"收款单位", 97, 0);
        grid.AddColumn(L"金额", 83, kGridAlignRight);
        grid.AddColumn(L"日期", 91, kGridAlignCenter);
        grid.AddColumn(L"备注", 150, 0);
        grid.AddColumn(L"编号", 60, kGridAlignRight);
        for (const auto& row : texts) {
            const int at = grid.AddItem(row[0].c_str(), 0);
            grid.SetItemTexts(at, row.data(), static_cast<int>(row.size()));
        }
        grid.SetCheckItem(1, 1);
        grid.SetFocusItem(2);
        grid.Relayout();
        grid.activateWindow();
        QApplication::processEvents();
        plat::ShapedLine::SetKeptGlyphsEnabled(kept);
        const QImage image = grid.GetClient()->grab().toImage();
        plat::ShapedLine::SetKeptGlyphsEnabled(true);
        return image;
    };
    const std::vector<std::vector<std::wstring>> bills = {
        {L"北京市朝阳区收款单位", L"1,234,567.89", L"2026-12-11", L"（人民币）壹万元整。", L"00012"},
        {L"上海分行", L"-0.25", L"2026-1-5", L"转账 ABC Trading Ltd.", L"7"},
        {L"广州市天河区某某有限公司", L"98765.43", L"2026-10-28", L"e\u0301te\u0301 12", L"１２３"},
        {L"深圳", L"", L"2026-2-3 09:30", L"北京市朝阳区收款单位北京市朝阳区", L"12345678901"},
    };
    const QImage laidOut = paint(bills, false);
    ASSERT_FALSE(laidOut.isNull());
    EXPECT_EQ(paint(bills, true), laidOut);
    int ink = 0;
    for (int y = 0; y < laidOut.height(); ++y)
        for (int x = 0; x < laidOut.width(); ++x)
            ink += qGray(laidOut.pixel(x, y)) < 96;
    EXPECT_GT(ink, 500); // the texts are there to compare

    std::vector<std::vector<std::wstring>> cut = bills;
    std::vector<std::vector<std::wstring>> nul = bills;
    cut[0][3] = L"（人民币）";
    nul[0][3] = std::wstring(L"（人民币）\0壹万元整。", 11);
    EXPECT_EQ(paint(nul, true), paint(cut, true));
}
