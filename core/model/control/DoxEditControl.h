#pragma once
// The edit control: one value of a bill field, formatted and drawn as one text or
// one character per box, typed into a popup editor in fill-in mode.

#include <string>

#include "DoxAlignAttribute.h"
#include "DoxControl.h"
#include "DoxEditSplit.h"
#include "DoxSingleAttributes.h"
#include "DoxTextAttributes.h"
#include "DoxTextEditor.h"

class DoxEditControl : public DoxControlEx
{
public:
    DoxEditControl();
    ~DoxEditControl() override;


    void GetRect(RECT* rect) override;
    bool Init(bool isNew) override;
    bool BeginRun() override;
    void EndRun() override;
    void DrawDesign(DC& dc) override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;
    bool IsEditable() override;
    bool IsInput() override;
    bool IsVisible() override;
    uint8_t GetTransparency() override;
    int ExchangeEditor(DoxEditorHost* host, int direction) override;
    int Update(int32_t row) override;

    // The text as drawn: prefix + shown value cut or padded + suffix; empty when no
    // value is shown.
    std::wstring DrawnText() const;
    const std::wstring& ShownText() const { return shown_; }

    DoxBgColorAttributeEx& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxEditableAttribute& Editable() { return editable_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxTransparentAttribute& Transparent() { return transparent_; }
    DoxVisibleAttribute& Visible() { return visible_; }
    DoxTipAttribute& Tip() { return tip_; }
    DoxFontAttribute& Font() { return font_; }
    DoxAlignAttribute& Align() { return align_; }
    DoxEditSplitAttributeEx& Split() { return split_; }
    DoxFormatAttribute& Format() { return format_; }
    DoxFormulaAttribute& FormulaAttr() { return formula_; }

private:
    // The editor and its balloons cover the whole control, whatever the text takes.
    DoxFieldPlace EditorPlace();
    void RefreshShownText();
    // Draws the text; with measure, false when it does not show whole.
    bool DrawTextInto(DC& dc, const std::wstring& text, const RECT& rect, bool measure);

    DoxBgColorAttributeEx bgColor_{0xD8D8D8};
    DoxFgColorAttribute fgColor_;
    DoxEditableAttribute editable_;
    DoxPrintableAttribute printable_;
    DoxBorderAttribute border_;
    DoxTransparentAttribute transparent_;
    DoxVisibleAttribute visible_;
    DoxTipAttribute tip_;
    DoxFontAttribute font_;
    DoxAlignAttribute align_;
    DoxEditSplitAttributeEx split_;
    DoxFormatAttribute format_;
    DoxFormulaAttribute formula_;
    std::wstring shown_;
};
