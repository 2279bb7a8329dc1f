#pragma once
// A small split kind for the layout tests: columns and rows that only carry the
// common "base" group, cells that can be told not to take input, and a control
// whose data context is a child table of the layer's page.

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "DataTable.h"
#include "DoxAttribKinds.h"
#include "DoxDataAttribute.h"
#include "DoxSplitLayout.h"

namespace splittest
{

class TestCol : public DoxControlCol
{
public:
    using DoxControlCol::DoxControlCol;
    bool input = true;
};

class TestRow : public DoxControlRow
{
public:
    using DoxControlRow::DoxControlRow;
};

class TestColSet : public DoxControlColSet
{
public:
    using DoxControlColSet::DoxControlColSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override { return refuse ? nullptr : new TestCol(owner); }
    bool refuse = false;
};

class TestRowSet : public DoxControlRowSet
{
public:
    using DoxControlRowSet::DoxControlRowSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override { return new TestRow(owner); }
};

// Draws "c<column>r<row>" in design and its text in content; reads its text as
// the bound value.
class TestCell : public DoxControlCell
{
public:
    using DoxControlCell::DoxControlCell;
    int Update(int32_t) override
    {
        ++updates;
        std::wstring text, error;
        ExchangeValue(nullptr, text, false, error);
        SetText(text);
        return 1;
    }
    bool CanInput() override { return !GetColumn() || static_cast<TestCol*>(GetColumn())->input; }
    void DrawDesign(DC& dc) override
    {
        std::wstring name = L"c" + std::to_wstring(GetColumnIndex()) + L"r" + std::to_wstring(GetRowIndex());
        RECT rect = GetRect();
        dc.DrawText(name.c_str(), -1, &rect, 0);
    }
    int updates = 0;
};

class TestContainer : public DoxControlContainer
{
public:
    using DoxControlContainer::DoxControlContainer;
    DoxControlCell* CreateCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row) override
    {
        return new TestCell(control, column, row);
    }
};

class TestSplitAttribute : public DoxAttribute
{
public:
    TestSplitAttribute() : DoxAttribute("split", L"拆分") {}
    int32_t GetKindId() const override { return DoxAttribKindId::TableSplit; }
};

// Columns always; rows when asked. Columns bind to the control's "databind".
class TestSplitControl : public DoxControl
{
public:
    TestSplitControl(controltest::FakeLayer& layer, RECT rect, bool withRows)
        : rows_(withRows ? new TestRowSet("row", L"行", this) : nullptr),
          container_(this, &columns_, rows_.get())
    {
        InitControlBase(DoxKindTable, L"拆分", "splitcontrol", &layer, &rect);
        AddAttribute(&data_);
        AddAttribute(&split_);
        split_.AddItem(&columns_);
        if (rows_)
            split_.AddItem(rows_.get());
        SetColSet(&columns_);
        SetRowSet(rows_.get());
        table_ = layer.page.AddTable(L"明细");
    }
    DataContainer* GetDataContext() override { return table_; }
    bool Init(bool isNew) override
    {
        if (!data_.Bind(GetDataContext(), GetPageData(), isNew))
            return false;
        if (!columns_.InitGrids(&data_, isNew))
            return false;
        return !rows_ || rows_->InitGrids(&data_, isNew);
    }

    TestColSet& Columns() { return columns_; }
    TestRowSet* Rows() { return rows_.get(); }
    TestContainer& Cells() { return container_; }
    DoxDataAttribute& Data() { return data_; }
    DataTable* Table() { return table_; }
    TestCell* Cell(int i) { return static_cast<TestCell*>(container_.CellAt(i)); }

private:
    DoxDataAttribute data_;
    TestSplitAttribute split_;
    TestColSet columns_{"column", L"列", this};
    std::unique_ptr<TestRowSet> rows_;
    TestContainer container_;
    DataTable* table_ = nullptr;
};

// Owns one test control for the length of a test.
struct SplitFixture {
    controltest::FakeLayer layer;
    TestSplitControl* control;

    explicit SplitFixture(RECT rect = {100, -100, 405, -300}, bool withRows = false)
        : control(new TestSplitControl(layer, rect, withRows))
    {
        control->Init(true);
    }
    ~SplitFixture()
    {
        control->SetParentLayer(nullptr);
        control->Release();
    }
};

// Columns bind to the control's binding at Init.
inline void BindColumns(TestSplitControl& control)
{
    for (int i = 0; i < control.Columns().Count(); ++i)
        control.Columns().GridAt(i)->SetBinding(&control.Data());
}

inline std::vector<int> Sizes(DoxControlGridSet& set)
{
    std::vector<int> sizes;
    for (int i = 0; i < set.Count(); ++i)
        sizes.push_back(set.GridAt(i)->GetSize());
    return sizes;
}

inline std::vector<int> Offsets(DoxControlGridSet& set)
{
    std::vector<int> offsets;
    for (int i = 0; i < set.Count(); ++i)
        offsets.push_back(set.GridAt(i)->GetOffset());
    return offsets;
}

} // namespace splittest
