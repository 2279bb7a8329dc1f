#pragma once
// The check control: a box bound to one bill field whose tick stands for one value
// of that field. Ticking writes the value, clearing writes an empty text, and the
// tick shows whenever the field holds the value, whoever wrote it.

#include <string>

#include "DoxAttribItemStr.h"
#include "DoxAttribute.h"
#include "DoxControl.h"
#include "DoxDataAttribute.h"
#include "DoxSingleAttributes.h"
#include "DoxTextAttributes.h"

// The value a tick stands for, kept in the first format of the bound field's type.
class DoxCheckValueAttrib : public DoxAttribute, public DoxDataAttributeSink
{
public:
    DoxCheckValueAttrib();

    int32_t GetKindId() const override;
    bool AcceptChange(bool changing) override;
    void OnFieldType(uint32_t type) override;

    DoxAttribItemStr& Param() { return param_; }
    const std::wstring& GetText() const { return param_.GetText(); }

private:
    // The text rewritten in the first format of the type; false when it does not parse.
    bool Normalise(const std::wstring& text, std::wstring& out) const;

    DoxAttribItemStr param_;
    uint32_t type_ = 0;
};

class DoxCheckControl : public DoxControlEx
{
public:
    DoxCheckControl();


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

    bool IsTicked() const { return ticked_; }

    DoxBgColorAttributeEx& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxEditableAttribute& Editable() { return editable_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxTransparentAttribute& Transparent() { return transparent_; }
    DoxFontAttribute& Font() { return font_; }
    DoxCheckValueAttrib& CheckValue() { return checkValue_; }

private:
    void RefreshTick();
    void DrawTick(DC& dc, const RECT& rect);

    DoxBgColorAttributeEx bgColor_{0x50D092};
    DoxFgColorAttribute fgColor_;
    DoxEditableAttribute editable_;
    DoxPrintableAttribute printable_;
    DoxBorderAttribute border_;
    DoxTransparentAttribute transparent_;
    DoxFontAttribute font_;
    DoxCheckValueAttrib checkValue_;
    bool ticked_ = false;
};
