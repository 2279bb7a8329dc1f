#include "DoxEditSplit.h"

#include <algorithm>
#include <cmath>
#include <tinyxml2.h>

#include "DC.h"
#include "DoxAttribKinds.h"
#include "GdiObjects.h"
#include "WrappedText.h"

namespace
{
bool overflowMarks = false;
constexpr COLORREF kOverflowMark = RGB(230, 0, 0);
constexpr int kOverflowMarkSize = 30; // 0.1 mm
constexpr uint32_t kReadOnlyChoice = 0x10002;
const wchar_t* const kNone = L"<NONE>";

// Turns CR LF, LF CR and single CR into one LF each (a box that draws nothing).
std::wstring OneBreakPerCell(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            const wchar_t other = c == L'\r' ? L'\n' : L'\r';
            if (i + 1 < text.size() && text[i + 1] == other)
                ++i;
            out += L'\n';
        } else {
            out += c;
        }
    }
    return out;
}

void DrawCell(DC& dc, wchar_t c, int left, int top, int right, int bottom, UINT flags)
{
    if (c == L'\n')
        return;
    RECT cell{left, top, right, bottom};
    dc.DrawText(&c, 1, &cell, flags);
}
} // namespace

DoxSplitCells DoxSplitCells::Of(int span, int count)
{
    DoxSplitCells cells;
    if (count < 1)
        count = 1;
    const int length = std::abs(span);
    cells.size = static_cast<int>(std::floor(static_cast<double>(length) / count + 0.5));
    const double r = (length - static_cast<double>(cells.size) * count) / count;
    if (r == 0)
        return cells;
    double sum = 0;
    int k = 0;
    // |r| <= 0.5, so the sum reaches 1 within a few steps; the bound guards against
    // rounding.
    while (k < 1000 && (r > 0 ? sum < 1 : sum > -1)) {
        sum += r;
        ++k;
    }
    cells.k = k;
    cells.e = static_cast<int>(std::floor(sum));
    return cells;
}

DoxEditSplitStyle::DoxEditSplitStyle()
    : DoxAttribItem("style", L"<无>", kReadOnlyChoice, false), wrap("style", L"自动换行", false),
      layout("style", L"布局", false, &plot_)
{
    layout.SetType(DOX_ATTRIB_KIND_CHOICE);
    SetShared(true);
}

DoxAttribItem* DoxEditSplitStyle::InForce()
{
    if (mode == 1)
        return &wrap;
    if (mode == 2)
        return &layout;
    return nullptr;
}

const wchar_t* DoxEditSplitStyle::GetCaption()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetCaption() : DoxAttribItem::GetCaption();
}

uint32_t DoxEditSplitStyle::GetType()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetType() : DoxAttribItem::GetType();
}

const wchar_t* DoxEditSplitStyle::GetDefaultText()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetDefaultText() : kNone;
}

const wchar_t* DoxEditSplitStyle::GetValueText()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetValueText() : kNone;
}

bool DoxEditSplitStyle::SetValueText(const wchar_t* text)
{
    DoxAttribItem* item = InForce();
    return item ? item->SetValueText(text) : true;
}

const wchar_t* DoxEditSplitStyle::GetErrorText()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetErrorText() : DoxAttribItem::GetErrorText();
}

int32_t DoxEditSplitStyle::GetOptionCount()
{
    DoxAttribItem* item = InForce();
    return item ? item->GetOptionCount() : 0;
}

const wchar_t* DoxEditSplitStyle::GetOptionText(int32_t i)
{
    DoxAttribItem* item = InForce();
    return item ? item->GetOptionText(i) : L"";
}

void DoxEditSplitStyle::SetParent(DoxAttribute* parent)
{
    DoxAttribItem::SetParent(parent);
    wrap.SetParent(parent);
    layout.SetParent(parent);
}

bool DoxEditSplitStyle::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!MatchesElement(element))
        return false;
    mode = element->IntAttribute("type", 0);
    if (DoxAttribItem* item = InForce())
        item->LoadXml(element);
    return true;
}

bool DoxEditSplitStyle::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (!element)
        return false;
    if (DoxAttribItem* item = InForce()) {
        if (!item->SaveXml(element, full))
            return false;
    } else {
        element->SetAttribute("id", GetKey().c_str());
        element->SetAttribute("value", "");
    }
    element->SetAttribute("type", mode);
    return true;
}

DoxEditSplitBitLimit::DoxEditSplitBitLimit()
    : DoxAttribItem("limit", L"位限制", kReadOnlyChoice, false), limit("limit", L"位限制", true)
{
    SetShared(true);
}

const wchar_t* DoxEditSplitBitLimit::GetCaption()
{
    return active ? limit.GetCaption() : DoxAttribItem::GetCaption();
}

uint32_t DoxEditSplitBitLimit::GetType()
{
    return active ? limit.GetType() : DoxAttribItem::GetType();
}

const wchar_t* DoxEditSplitBitLimit::GetDefaultText()
{
    return active ? limit.GetDefaultText() : kNone;
}

const wchar_t* DoxEditSplitBitLimit::GetValueText()
{
    return active ? limit.GetValueText() : kNone;
}

bool DoxEditSplitBitLimit::SetValueText(const wchar_t* text)
{
    return active ? limit.SetValueText(text) : true;
}

const wchar_t* DoxEditSplitBitLimit::GetErrorText()
{
    return active ? limit.GetErrorText() : DoxAttribItem::GetErrorText();
}

int32_t DoxEditSplitBitLimit::GetOptionCount()
{
    return active ? limit.GetOptionCount() : 0;
}

const wchar_t* DoxEditSplitBitLimit::GetOptionText(int32_t i)
{
    return active ? limit.GetOptionText(i) : L"";
}

void DoxEditSplitBitLimit::SetParent(DoxAttribute* parent)
{
    DoxAttribItem::SetParent(parent);
    limit.SetParent(parent);
}

bool DoxEditSplitBitLimit::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!MatchesElement(element))
        return false;
    active = element->IntAttribute("active", 0);
    if (active)
        limit.LoadXml(element);
    return true;
}

bool DoxEditSplitBitLimit::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (!element)
        return false;
    if (active) {
        if (!limit.SaveXml(element, full))
            return false;
    } else {
        element->SetAttribute("id", GetKey().c_str());
        element->SetAttribute("value", "");
    }
    element->SetAttribute("active", active);
    return true;
}

DoxEditSplitAttribute::DoxEditSplitAttribute()
    : DoxAttribute("split", L"布局"), columns_("column", L"列", 1), rows_("row", L"行", 1)
{
    columns_.SetRange(1, 30);
    rows_.SetRange(1, 30);
    columns_.SetShared(true);
    rows_.SetShared(true);
    AddItem(&columns_);
    AddItem(&rows_);
    AddItem(&style_);
}

int32_t DoxEditSplitAttribute::GetKindId() const
{
    return DoxAttribKindId::EditSplit;
}

int DoxEditSplitAttribute::Columns() const
{
    return std::max(1, columns_.GetStoredValue());
}

int DoxEditSplitAttribute::Rows() const
{
    return std::max(1, rows_.GetStoredValue());
}

void DoxEditSplitAttribute::UpdateModes()
{
    const int columns = Columns();
    const int rows = Rows();
    if (columns == 1 && rows == 1)
        style_.mode = 1;
    else
        style_.mode = columns > 1 ? 2 : 0;
}

bool DoxEditSplitAttribute::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!DoxAttribute::LoadXml(element))
        return false;
    UpdateModes();
    return true;
}

bool DoxEditSplitAttribute::AcceptChange(bool changing)
{
    UpdateModes();
    return DoxAttribute::AcceptChange(changing);
}

void DoxEditSplitAttribute::DrawGridLines(const RECT& rect, DC& dc)
{
    if (Columns() <= 1 && Rows() < 2)
        return;
    CPen pen;
    pen.ExtCreatePen(PS_ALTERNATE | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, 0);
    const CPen old = dc.SelectObject(pen);
    DrawBoxLines(rect, dc);
    dc.SelectObject(old);
}

void DoxEditSplitAttribute::DrawBoxLines(const RECT& rect, DC& dc) const
{
    const int columns = Columns();
    const int rows = Rows();
    if (columns > 1) {
        const DoxSplitCells cells = DoxSplitCells::Of(rect.right - rect.left, columns);
        for (int i = 1; i < columns; ++i) {
            const int x = rect.left + cells.Boundary(i);
            dc.MoveTo(x, rect.top);
            dc.LineTo(x, rect.bottom);
        }
    }
    if (rows > 1) {
        const DoxSplitCells cells = DoxSplitCells::Of(rect.bottom - rect.top, rows);
        for (int j = 1; j < rows; ++j) {
            const int y = rect.top - cells.Boundary(j);
            dc.MoveTo(rect.left, y);
            dc.LineTo(rect.right, y);
        }
    }
}

void DoxEditSplitAttribute::DrawRowCells(const std::wstring& text, DC& dc, const RECT& rect, UINT flags,
                                         bool fromRight, int maxCells)
{
    const std::wstring cellsText = OneBreakPerCell(text);
    const DoxSplitCells cells = DoxSplitCells::Of(rect.right - rect.left, Columns());
    const int n = static_cast<int>(cellsText.size());
    const int count = maxCells < 0 ? n : std::min(n, maxCells);
    for (int i = 0; i < count; ++i) {
        if (fromRight) {
            // Box i counted from the right edge; the last character sits in the last box.
            const wchar_t c = cellsText[static_cast<size_t>(n - 1 - i)];
            const int columns = Columns();
            // Boundaries are measured from the left edge of the control; boxes past the
            // left edge continue the same pattern.
            const int right = rect.left + cells.Boundary(columns - i);
            const int left = rect.left + cells.Boundary(columns - i - 1);
            DrawCell(dc, c, left, rect.top, right, rect.bottom, flags);
        } else {
            DrawCell(dc, cellsText[static_cast<size_t>(i)], rect.left + cells.Boundary(i), rect.top,
                     rect.left + cells.Boundary(i + 1), rect.bottom, flags);
        }
    }
}

void ShowOverflowMarks(bool on)
{
    overflowMarks = on;
}

bool OverflowMarksShown()
{
    return overflowMarks;
}

void DrawOverflowMark(DC& dc, const RECT& rect)
{
    const int width = std::abs(rect.right - rect.left);
    const int height = std::abs(rect.top - rect.bottom);
    const int size = std::min({kOverflowMarkSize, width / 2, height / 2});
    if (size <= 0)
        return;
    // y is up: the top edge is the larger y.
    const int right = std::max(rect.left, rect.right);
    const int top = std::max(rect.top, rect.bottom);
    const POINT corner[] = {{right - size, top}, {right, top}, {right, top - size}};
    CBrush brush;
    brush.CreateSolidBrush(kOverflowMark);
    const CPen pen(PS_SOLID, 1, kOverflowMark);
    const CBrush oldBrush = dc.SelectObject(brush);
    const CPen oldPen = dc.SelectObject(pen);
    dc.Polygon(corner, 3);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

bool DoxEditSplitAttribute::TextFits(DC& dc, const std::wstring& text, const RECT& rect)
{
    if (text.empty())
        return true;
    const int columns = Columns();
    const int rows = Rows();
    const int width = std::abs(rect.right - rect.left);
    const int height = std::abs(rect.top - rect.bottom);
    if (columns > 1)
        return text.size() <= static_cast<size_t>(columns) * static_cast<size_t>(rows);
    const int lineHeight = dc.GetTextExtent(L"ABC", 3).cy;
    if (lineHeight <= 0)
        return true;
    if (rows == 1 && !WordWrap()) {
        const SIZE extent = dc.GetTextExtent(text.c_str(), static_cast<int>(text.size()));
        return std::abs(extent.cx) <= width && std::abs(extent.cy) <= height;
    }
    // Wrapped lines: into the box's height, or one line a row.
    const int fitting = rows > 1 ? rows : height / lineHeight;
    int lines = 0;
    int count = 0;
    for (const wchar_t* p = text.c_str(); (p = NextWrappedLine(p, dc, width, &count)) != nullptr;)
        if (++lines > fitting)
            return false;
    return true;
}

void DoxEditSplitAttribute::DrawSplitText(DC& dc, const std::wstring& text, const RECT& rect, UINT flags)
{
    flags |= DT_NOPREFIX;
    const int columns = Columns();
    const int rows = Rows();
    if (columns == 1 && rows == 1) {
        if (WordWrap()) {
            DrawWrappedText(dc, text.c_str(), &rect, flags);
        } else {
            RECT box = rect;
            dc.DrawText(text.c_str(), static_cast<int>(text.size()), &box, flags);
        }
        return;
    }
    const DoxSplitCells rowCells = DoxSplitCells::Of(rect.bottom - rect.top, rows);
    if (columns == 1) {
        const wchar_t* rest = text.c_str();
        for (int j = 0; j < rows && rest && *rest; ++j) {
            int count = 0;
            const wchar_t* next = NextWrappedLine(rest, dc, rect.right - rect.left, &count);
            if (count <= 0 && !next)
                break;
            RECT row{rect.left, rect.top - rowCells.Boundary(j), rect.right,
                     rect.top - rowCells.Boundary(j + 1)};
            dc.DrawText(rest, count, &row, flags);
            if (!next || next == rest)
                break;
            rest = next;
        }
        return;
    }
    std::wstring cellsText = OneBreakPerCell(text);
    const bool fromRight = FromRight();
    if (fromRight)
        std::reverse(cellsText.begin(), cellsText.end());
    const DoxSplitCells colCells = DoxSplitCells::Of(rect.right - rect.left, columns);
    size_t next = 0;
    for (int step = 0; step < rows * columns && next < cellsText.size(); ++step, ++next) {
        int j = step / columns;
        int i = step % columns;
        if (fromRight) {
            j = rows - 1 - j;
            i = columns - 1 - i;
        }
        DrawCell(dc, cellsText[next], rect.left + colCells.Boundary(i), rect.top - rowCells.Boundary(j),
                 rect.left + colCells.Boundary(i + 1), rect.top - rowCells.Boundary(j + 1), flags);
    }
}

DoxEditSplitAttributeEx::DoxEditSplitAttributeEx()
{
    AddItem(&limit_);
}

void DoxEditSplitAttributeEx::UpdateModes()
{
    DoxEditSplitAttribute::UpdateModes();
    limit_.active = Columns() > 1 && Rows() == 1 ? 1 : 0;
}

void DoxEditSplitAttributeEx::FitRectToText(const std::wstring& text, RECT& rect)
{
    if (text.empty() || Columns() < 2 || Rows() != 1 || LimitOn())
        return;
    const int n = static_cast<int>(OneBreakPerCell(text).size());
    const DoxSplitCells cells = DoxSplitCells::Of(rect.right - rect.left, Columns());
    if (FromRight()) {
        // The boxes the text takes, counted back from the last box, as they are drawn.
        const int columns = Columns();
        const int left = rect.left + cells.Boundary(columns - n);
        rect.right = rect.left + cells.Boundary(columns);
        rect.left = left;
    } else {
        rect.right = rect.left + cells.Boundary(n);
    }
}

void DoxEditSplitAttributeEx::DrawRowCellsFromLeft(const std::wstring& text, DC& dc, const RECT& rect,
                                                   UINT flags)
{
    DrawRowCells(text, dc, rect, flags, false, LimitOn() ? Columns() : -1);
}

void DoxEditSplitAttributeEx::DrawRowCellsFromRight(const std::wstring& text, DC& dc, const RECT& rect,
                                                    UINT flags)
{
    DrawRowCells(text, dc, rect, flags, true, LimitOn() ? Columns() : -1);
}
