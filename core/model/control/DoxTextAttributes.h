#pragma once
// How a text control shows its value: "font" makes the drawing and editor fonts,
// "format" wraps the value in prefix and suffix, picks a catalogue format and cuts
// or pads to a fixed length, "formula" prints the value only when a condition
// holds. Format and formula follow the type of the bound field.

#include <cstdint>
#include <string>

#include "DoxAttribItemBool.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"
#include "DoxAttribute.h"
#include "DoxDataAttribute.h"
#include "GdiObjects.h"

class DataField;
class Formula;

// The installed font faces, enumerated the first time they are asked for.
class DoxAttribOptionsFont : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
};

// A text item offering choices from options.
class DoxChoiceItemStr : public DoxAttribItemStr
{
public:
    DoxChoiceItemStr(const char* key, const wchar_t* caption, const wchar_t* initial, uint32_t type,
                     DoxAttribOptions* options);
    // Stores a text directly, without the change chain.
    void Store(const std::wstring& text) { value_ = text; }
};

class DoxChoiceItemUint : public DoxAttribItemUint
{
public:
    DoxChoiceItemUint(const char* key, const wchar_t* caption, uint32_t initial, DoxAttribOptions* options);
    // Only the choices' texts are taken; an empty text keeps the value.
    bool SetValueText(const wchar_t* text) override;
    void Store(uint32_t value) { value_ = value; }
};

class DoxFontAttribute : public DoxAttribute
{
public:
    DoxFontAttribute();

    int32_t GetKindId() const override;
    bool AcceptChange(bool changing) override;

    // kind 1: heights in screen pixels; kind 2: in 0.1 mm.
    void BuildLogFont(LOGFONTW& font, int kind);
    // The cached fonts, made when empty.
    const CFont& CreateDrawingFont();
    const CFont& CreateEditorFont();

    DoxChoiceItemStr& FaceName() { return faceName_; }
    DoxAttribItemInt& Size() { return size_; }
    DoxAttribItemBool& Bold() { return bold_; }
    DoxAttribItemBool& Italic() { return italic_; }
    DoxAttribItemBool& Underline() { return underline_; }
    DoxAttribItemBool& StrikeOut() { return strikeOut_; }

private:
    DoxAttribOptionsFont faces_;
    DoxChoiceItemStr faceName_;
    DoxAttribItemInt size_;
    DoxAttribItemBool bold_;
    DoxAttribItemBool italic_;
    DoxAttribItemBool underline_;
    DoxAttribItemBool strikeOut_;
    CFont drawingFont_;
    CFont editorFont_;
};

// The catalogue formats of one category.
class DoxAttribOptionsForamt : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    const wchar_t* ValueToText(uint32_t value) override;
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;
    uint32_t category = 0;

private:
    std::wstring shown_;
};

class DoxAttribOptionsForamtParam : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    uint32_t category = 0;
};

class DoxAttribOptionsComplement : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsComplement();
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;
};

class DoxFormatAttribute : public DoxAttribute, public DoxDataAttributeSink
{
public:
    DoxFormatAttribute();

    int32_t GetKindId() const override;
    bool AcceptChange(bool changing) override;
    void OnLoaded() override;
    void OnFieldType(uint32_t type) override;

    // prefix + the chosen format's example, cut or padded + suffix.
    std::wstring DesignText() const;
    // Empty for an empty value; else prefix + the value cut or padded + suffix.
    std::wstring ContentText(const std::wstring& value) const;
    std::wstring BoundAndPad(const std::wstring& text) const;

    uint32_t GetFormatId() const { return format_.GetUValue(); }
    DoxAttribItemStr& Prefix() { return prefix_; }
    DoxAttribItemStr& Suffix() { return suffix_; }
    DoxChoiceItemUint& Format() { return format_; }
    DoxChoiceItemStr& FormatParam() { return formatParam_; }
    DoxAttribItemUint& Bound() { return bound_; }
    DoxChoiceItemUint& Complement() { return complement_; }
    DoxAttribItemStr& CompParam() { return compParam_; }

private:
    void UpdateParamAvailability();

    DoxAttribOptionsForamt formats_;
    DoxAttribOptionsForamtParam params_;
    DoxAttribOptionsComplement complements_;
    DoxAttribItemStr prefix_;
    DoxAttribItemStr suffix_;
    DoxChoiceItemUint format_;
    DoxChoiceItemStr formatParam_;
    DoxAttribItemUint bound_;
    DoxChoiceItemUint complement_;
    DoxAttribItemStr compParam_;
};

// The condition syntaxes offered for one value category.
class DoxFormulaOptions : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    uint32_t category = 0;
};

class DoxFormulaAttribute : public DoxAttribute, public DoxDataAttributeSink
{
public:
    DoxFormulaAttribute();
    ~DoxFormulaAttribute() override;

    int32_t GetKindId() const override;
    bool AcceptChange(bool changing) override;
    void OnFieldType(uint32_t type) override;

    // Fill-in mode: the condition object made from "function" and parsed with
    // "param"; none when the syntax names no condition.
    void CreateRunFormula();
    void ReleaseFormula();
    Formula* GetFormula() const { return formula_; }
    // 0 without a condition object.
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row);

    DoxChoiceItemStr& Function() { return function_; }
    DoxChoiceItemStr& Param() { return param_; }

private:
    DoxFormulaOptions options_;
    DoxChoiceItemStr function_;
    DoxChoiceItemStr param_;
    Formula* formula_ = nullptr;
};
