#pragma once
// The "split" group of text controls: how many boxes (columns x rows) the text is
// laid into, a style item whose meaning follows the split (word wrap for one box,
// left or right layout for a row of boxes) and, for the edit control, a digit
// limit. It also paints the box lines and lays text into the boxes.

#include <cstdint>
#include <string>

#include "DoxAttribItemBool.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribOptions.h"
#include "DoxAttribute.h"
#include "GdiTypes.h"

class DC;

// The size of n boxes along a span: each box is size wide, and every k-th box
// boundary (k > 0) moves a further e units, so that the boxes fill the span.
struct DoxSplitCells {
    int size = 0;
    int k = 0;
    int e = 0;

    static DoxSplitCells Of(int span, int count);
    // Distance of boundary i (0 .. count) from the first edge.
    int Boundary(int i) const { return i * size + (k > 0 ? (i / k) * e : 0); }
};

class DoxEditSplitStyle : public DoxAttribItem
{
public:
    DoxEditSplitStyle();

    const wchar_t* GetCaption() override;
    uint32_t GetType() override;
    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    const wchar_t* GetErrorText() override;
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;
    void SetParent(DoxAttribute* parent) override;
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool SaveXml(tinyxml2::XMLElement* element, bool full) override;

    // 0 none, 1 word wrap, 2 layout.
    int mode = 1;
    DoxAttribItemBool wrap;
    DoxAttribItemBoolEx layout;

protected:
    std::string GetXmlValue() override { return std::string(); }
    void LoadXmlValue(const char*) override {}

private:
    DoxAttribItem* InForce();
    DoxAttribOptionsPlot plot_;
};

class DoxEditSplitBitLimit : public DoxAttribItem
{
public:
    DoxEditSplitBitLimit();

    const wchar_t* GetCaption() override;
    uint32_t GetType() override;
    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    const wchar_t* GetErrorText() override;
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;
    void SetParent(DoxAttribute* parent) override;
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool SaveXml(tinyxml2::XMLElement* element, bool full) override;

    int active = 0;
    DoxAttribItemBool limit;

protected:
    std::string GetXmlValue() override { return std::string(); }
    void LoadXmlValue(const char*) override {}
};

// A text that does not show whole in its box gets a red corner at the box's top
// right: always in the design window, and in the fill-in window once a design window
// was made in the process (the designer's test page), never on paper.
void ShowOverflowMarks(bool on);
bool OverflowMarksShown();
void DrawOverflowMark(DC& dc, const RECT& rect);

class DoxEditSplitAttribute : public DoxAttribute
{
public:
    DoxEditSplitAttribute();

    int32_t GetKindId() const override;
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool AcceptChange(bool changing) override;
    virtual void UpdateModes();

    // Columns and rows as drawn: a count below 1 (a damaged template) counts as 1.
    int Columns() const;
    int Rows() const;
    bool WordWrap() { return style_.wrap.GetValue() != 0; }
    // True for "右端": the text ends in the last box.
    bool FromRight() { return style_.layout.GetValue() != 0; }
    // Multi-line editor: one box follows word wrap, several rows always are.
    bool EditorMultiLine() { return Columns() == 1 && Rows() == 1 ? WordWrap() : Rows() > 1; }

    // The inner box lines over rect, dotted (design).
    void DrawGridLines(const RECT& rect, DC& dc);
    // The same lines with the pen the context holds.
    void DrawBoxLines(const RECT& rect, DC& dc) const;
    void DrawSplitText(DC& dc, const std::wstring& text, const RECT& rect, UINT flags);
    // Whether the text shows whole when DrawSplitText draws it into rect with the font
    // the context holds: a capital amount cut at its box would read as another sum.
    bool TextFits(DC& dc, const std::wstring& text, const RECT& rect);

    DoxAttribItemInt& ColumnItem() { return columns_; }
    DoxAttribItemInt& RowItem() { return rows_; }
    DoxEditSplitStyle& Style() { return style_; }

protected:
    // One character per box of a row from the left (or from the right on the
    // reversed text); at most maxCells boxes (-1: no limit).
    void DrawRowCells(const std::wstring& text, DC& dc, const RECT& rect, UINT flags, bool fromRight,
                      int maxCells);

    DoxAttribItemInt columns_;
    DoxAttribItemInt rows_;
    DoxEditSplitStyle style_;
};

class DoxEditSplitAttributeEx : public DoxEditSplitAttribute
{
public:
    DoxEditSplitAttributeEx();

    void UpdateModes() override;
    bool LimitOn() { return limit_.limit.GetValue() != 0; }

    // Cuts the rectangle down to the boxes the text takes (one row of boxes with
    // the digit limit off).
    void FitRectToText(const std::wstring& text, RECT& rect);
    void DrawRowCellsFromLeft(const std::wstring& text, DC& dc, const RECT& rect, UINT flags);
    void DrawRowCellsFromRight(const std::wstring& text, DC& dc, const RECT& rect, UINT flags);

    DoxEditSplitBitLimit& Limit() { return limit_; }

private:
    DoxEditSplitBitLimit limit_;
};
