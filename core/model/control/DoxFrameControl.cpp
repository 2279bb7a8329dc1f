#include "DoxFrameControl.h"

#include <cstdlib>
#include <new>

#include "DoxAttribItem.h"
#include "DoxAttribKinds.h"

namespace
{
const DoxAttribChoice kFrameStyles[] = {{L"全部", 0}, {L"横线", 1}, {L"纵线", 2}};
} // namespace

DoxFrameStyleOptions::DoxFrameStyleOptions() : DoxAttribOptionsTable(kFrameStyles, 3, false) {}

DoxFrameSplitAttribute::DoxFrameSplitAttribute()
    : DoxAttribute("split", L"拆分"), columns_("column", L"列", 1), rows_("row", L"行", 1)
{
    columns_.SetRange(1, 30);
    rows_.SetRange(1, 30);
    AddItem(&columns_);
    AddItem(&rows_);
}

int32_t DoxFrameSplitAttribute::GetKindId() const
{
    return DoxAttribKindId::FrameSplit;
}

void DoxDrawFrameGrid(DC& dc, const RECT& r, int columns, int rows, uint32_t style)
{
    if (columns > 0 && (style == 0 || style == 2)) {
        const int step = std::abs(r.right - r.left) / columns;
        for (int i = 0; i < columns; ++i) {
            dc.MoveTo(r.left + i * step, r.top);
            dc.LineTo(r.left + i * step, r.bottom);
        }
        dc.MoveTo(r.right, r.top);
        dc.LineTo(r.right, r.bottom);
    }
    if (rows > 0 && (style == 0 || style == 1)) {
        const int step = std::abs(r.bottom - r.top) / rows;
        for (int i = 0; i < rows; ++i) {
            dc.MoveTo(r.left, r.top - i * step);
            dc.LineTo(r.right, r.top - i * step);
        }
        dc.MoveTo(r.left, r.bottom);
        dc.LineTo(r.right, r.bottom);
    }
}

DoxFrameControl::DoxFrameControl() : style_(0, &styleOptions_)
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&fgColor_);
    basic.AddItem(&printable_);
    basic.AddItem(&style_);
    AddAttribute(&split_);
}

void DoxFrameControl::DrawLines(DC& dc, const RECT& rect)
{
    DoxDrawFrameGrid(dc, rect, split_.ColumnItem().GetValue(), split_.RowItem().GetValue(), style_.GetUValue());
}
