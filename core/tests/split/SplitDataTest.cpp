// Cells and data: the bound field's rows shown and stored through the cells, the
// fill-in bracket, and the row set telling the control's table its row count.

#include <gtest/gtest.h>

#include "DataField.h"
#include "SplitTestKinds.h"

using namespace controltest;
using namespace splittest;

TEST(SplitCells, RowSetCountsTheDataContextRows)
{
    SplitFixture f(RECT{0, 0, 300, -300}, true);
    f.control->Columns().AppendGrid();
    for (int i = 0; i < 3; ++i)
        f.control->Rows()->AppendGrid();
    EXPECT_EQ(f.control->Table()->GetRows(), 3);
    f.control->Rows()->RemoveElement(0);
    EXPECT_EQ(f.control->Table()->GetRows(), 2);
    ASSERT_TRUE(f.control->Rows()->InitGrids(nullptr, false));
    EXPECT_EQ(f.control->Table()->GetRows(), 2);
}

TEST(SplitCells, CellsShowAndStoreTheirRowOfTheBoundField)
{
    SplitFixture f(RECT{0, 0, 300, -300}, true);
    f.control->Columns().AppendGrid();
    for (int i = 0; i < 3; ++i)
        f.control->Rows()->AppendGrid();
    BindColumns(*f.control);
    DataTable* table = f.control->Table();
    ASSERT_TRUE(table->LayOutRows());
    DataField* field = f.control->Data().GetField();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(table->SetCellText(1, field, L"before", nullptr));

    TestContainer& cells = f.control->Cells();
    ASSERT_EQ(cells.CellCount(), 3);
    cells.BeginRun();
    // Each cell observes its own row; the value present at the start shows at once.
    EXPECT_EQ(field->ObserverCount(), 3u);
    EXPECT_EQ(cells.CellAt(0)->GetText(), L"");
    EXPECT_EQ(cells.CellAt(1)->GetText(), L"before");

    std::wstring text = L"stored";
    std::wstring error;
    EXPECT_TRUE(cells.CellAt(2)->ExchangeValue(nullptr, text, true, error));
    EXPECT_EQ(cells.CellAt(2)->GetText(), L"stored");
    EXPECT_EQ(cells.CellAt(1)->GetText(), L"before");
    std::wstring bound;
    EXPECT_TRUE(cells.CellAt(2)->GetBoundText(bound));
    EXPECT_EQ(bound, L"stored");
    EXPECT_EQ(cells.CellAt(2)->GetBinding(), field);

    cells.EndRun();
    EXPECT_EQ(field->ObserverCount(), 0u);
    for (int i = 0; i < cells.CellCount(); ++i)
        EXPECT_EQ(cells.CellAt(i)->GetText(), L"") << i;
}

TEST(SplitCells, UnboundCellsNeitherShowNorStore)
{
    SplitFixture f(RECT{0, 0, 300, -100});
    f.control->Columns().AppendGrid();
    TestContainer& cells = f.control->Cells();
    cells.BeginRun();
    DoxControlCell* cell = cells.CellAt(0);
    EXPECT_EQ(cell->GetBinding(), nullptr);
    std::wstring text = L"x", error;
    EXPECT_FALSE(cell->ExchangeValue(nullptr, text, true, error));
    EXPECT_FALSE(cell->GetBoundText(text));
    EXPECT_EQ(static_cast<TestCell*>(cell)->updates, 0);
    cells.EndRun();
}

TEST(SplitCells, RebuildingWhileRunningLeavesNoObserverBehind)
{
    SplitFixture f(RECT{0, 0, 300, -100});
    f.control->Columns().AppendGrid();
    f.control->Columns().AppendGrid();
    BindColumns(*f.control);
    f.control->Table()->SetRows(1);
    ASSERT_TRUE(f.control->Table()->LayOutRows());
    DataField* field = f.control->Data().GetField();
    f.control->Cells().BeginRun();
    EXPECT_EQ(field->ObserverCount(), 2u);
    f.control->Columns().RemoveElement(0);
    EXPECT_EQ(field->ObserverCount(), 0u);
    // A change after the cells went must reach no one.
    EXPECT_TRUE(f.control->Table()->SetCellText(0, field, L"1", nullptr));
    f.control->Cells().EndRun();
}
