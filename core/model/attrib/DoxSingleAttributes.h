#pragma once
// The single items that control kinds append to their "base" group (or a column to
// its own group): flags, border, colours, transparency, text and tip.

#include <cstdint>
#include <string>

#include "DoxAttribItemBool.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"

// Whether the field takes input in fill-in mode.
class DoxEditableAttribute : public DoxAttribItemBool
{
public:
    DoxEditableAttribute();
};

// Whether anything of the control's content is printed.
class DoxPrintableAttribute : public DoxAttribItemBool
{
public:
    DoxPrintableAttribute();
};

// Whether the page runner takes the control at all; not shared in a multiple
// selection.
class DoxVisibleAttribute : public DoxAttribItemBool
{
public:
    DoxVisibleAttribute();
};

// Whether the painter outlines the control's rectangle.
class DoxBorderAttribute : public DoxAttribItemBool
{
public:
    DoxBorderAttribute();
};

class DoxBgColorAttribute : public DoxAttribItemColor
{
public:
    // The initial colour depends on the control kind; 0xFFFFFFFF is none.
    explicit DoxBgColorAttribute(uint32_t initial);
};

class DoxBgColorAttributeEx : public DoxBgColorAttribute
{
public:
    using DoxBgColorAttribute::DoxBgColorAttribute;
};

class DoxFgColorAttribute : public DoxAttribItemColor
{
public:
    DoxFgColorAttribute();
};

// The control's transparency t, 0 (opaque) to 255; the background is blended with
// constant alpha 255 - t. Offers the usual steps and accepts any number between.
class DoxTransparentAttribute : public DoxAttribItemInt
{
public:
    DoxTransparentAttribute();

    uint8_t GetTransparency() { return static_cast<uint8_t>(GetValue() & 0xFF); }

private:
    DoxAttribOptionsTransparent transparentOptions_;
};

// A string whose typed "\n" (a backslash and the letter n) is shown as a line break.
// The value and the XML keep the backslash sequence.
class DoxDisplayTextItem : public DoxAttribItemStr
{
public:
    DoxDisplayTextItem(const char* key, const wchar_t* caption, const wchar_t* initial);

    bool SetValueText(const wchar_t* text) override;
    bool HasDisplayText();
    const std::wstring& GetDisplayText();

private:
    std::wstring display_;
    std::wstring displaySource_;
};

// A label's text (key "text").
class DoxTextAttribute : public DoxDisplayTextItem
{
public:
    DoxTextAttribute();
};

// An input field's tip (also key "text", so that it merges with a label's text in a
// multiple selection).
class DoxTipAttribute : public DoxDisplayTextItem
{
public:
    DoxTipAttribute();
};
