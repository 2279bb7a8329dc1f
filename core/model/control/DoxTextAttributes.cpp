#include "DoxTextAttributes.h"

#include <algorithm>

#include "DoxAttribKinds.h"
#include "DrawUnits.h"
#include "FontFaceList.h"
#include "FormatCatalogue.h"
#include "Formula.h"

namespace
{
constexpr uint32_t kChoice = DOX_ATTRIB_KIND_CHOICE;
constexpr uint32_t kChoiceFree = DOX_ATTRIB_KIND_CHOICE | DOX_ATTRIB_FREETEXT;
constexpr uint32_t kParamType = 0x60001;
const wchar_t* const kNoFormula = L"<无>";
// The longest length rule a format takes, in characters.
constexpr uint32_t kMaxBound = 9999;

} // namespace

int32_t DoxAttribOptionsFont::GetCount()
{
    if (FontFaceList().empty())
        EnumerateFontFaces();
    return static_cast<int32_t>(FontFaceList().size());
}

const wchar_t* DoxAttribOptionsFont::GetText(int32_t i)
{
    if (FontFaceList().empty())
        EnumerateFontFaces();
    const auto& faces = FontFaceList();
    if (i < 0 || i >= static_cast<int32_t>(faces.size()))
        return L"";
    return faces[static_cast<size_t>(i)].c_str();
}

DoxChoiceItemStr::DoxChoiceItemStr(const char* key, const wchar_t* caption, const wchar_t* initial,
                                   uint32_t type, DoxAttribOptions* options)
    : DoxAttribItemStr(key, caption, initial)
{
    SetType(type);
    options_ = options;
}

DoxChoiceItemUint::DoxChoiceItemUint(const char* key, const wchar_t* caption, uint32_t initial,
                                     DoxAttribOptions* options)
    : DoxAttribItemUint(key, caption, initial)
{
    SetType(kChoice);
    options_ = options;
}

bool DoxChoiceItemUint::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    uint32_t value = value_;
    std::wstring error;
    if (!options_ || !options_->Parse(text, value, error)) {
        SetErrorText(error.empty() ? L"无效数据" : error);
        return false;
    }
    return SetValue(static_cast<int32_t>(value));
}

DoxFontAttribute::DoxFontAttribute()
    : DoxAttribute("font", L"字体"), faceName_("facename", L"字体", L"宋体", kChoice, &faces_),
      size_("size", L"大小", 10), bold_("bold", L"粗体", false), italic_("italic", L"斜体", false),
      underline_("underline", L"下划线", false), strikeOut_("strikeout", L"删除线", false)
{
    size_.SetRange(0, 99);
    for (DoxAttribItem* item : std::initializer_list<DoxAttribItem*>{&faceName_, &size_, &bold_, &italic_,
                                                                     &underline_, &strikeOut_}) {
        item->SetShared(true);
        AddItem(item);
    }
}

int32_t DoxFontAttribute::GetKindId() const
{
    return DoxAttribKindId::Font;
}

bool DoxFontAttribute::AcceptChange(bool changing)
{
    if (changing) {
        drawingFont_.DeleteObject();
        editorFont_.DeleteObject();
    }
    return DoxAttribute::AcceptChange(changing);
}

void DoxFontAttribute::BuildLogFont(LOGFONTW& font, int kind)
{
    font = LOGFONTW();
    const std::wstring& face = faceName_.GetText();
    const size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.begin(), n, font.lfFaceName);
    font.lfFaceName[n] = 0;
    font.lfCharSet = 1;
    const int perInch = kind == 1 ? ScreenDpi : TenthMmPerInch;
    font.lfHeight = -MulDiv(size_.GetValue(), perInch, 72);
    font.lfWeight = bold_.GetValue() ? 700 : 400;
    font.lfItalic = italic_.GetValue() ? 1 : 0;
    font.lfUnderline = underline_.GetValue() ? 1 : 0;
    font.lfStrikeOut = strikeOut_.GetValue() ? 1 : 0;
    font.lfClipPrecision = 0x10;
}

const CFont& DoxFontAttribute::CreateDrawingFont()
{
    if (!drawingFont_.IsCreated()) {
        LOGFONTW font;
        BuildLogFont(font, 2);
        drawingFont_.CreateFontIndirect(font);
    }
    return drawingFont_;
}

const CFont& DoxFontAttribute::CreateEditorFont()
{
    if (!editorFont_.IsCreated()) {
        LOGFONTW font;
        BuildLogFont(font, 1);
        editorFont_.CreateFontIndirect(font);
    }
    return editorFont_;
}

int32_t DoxAttribOptionsForamt::GetCount()
{
    return static_cast<int32_t>(GetFormatCount(category));
}

const wchar_t* DoxAttribOptionsForamt::GetText(int32_t i)
{
    const FormatEntry* entry = i < 0 ? nullptr : GetFormatEntry(category, static_cast<uint32_t>(i));
    return entry ? entry->name : L"";
}

const wchar_t* DoxAttribOptionsForamt::ValueToText(uint32_t value)
{
    const FormatEntry* entry = GetFormatEntry(value >> 16, value & 0xFFFF);
    shown_ = entry ? entry->name : L"";
    return shown_.c_str();
}

bool DoxAttribOptionsForamt::Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText)
{
    if (!text || !*text)
        return true;
    uint32_t id = 0;
    if (!FindFormatId(category, text, id)) {
        errorText = L"无效数据";
        return false;
    }
    value = id;
    return true;
}

int32_t DoxAttribOptionsForamtParam::GetCount()
{
    return category == 1 ? 1 : 0;
}

const wchar_t* DoxAttribOptionsForamtParam::GetText(int32_t i)
{
    return category == 1 && i == 0 ? L"ABS" : L"";
}

namespace
{
const DoxAttribChoice kComplementChoices[] = {{L"", 0}, {L"后补", 1}, {L"前补", 2}};
}

DoxAttribOptionsComplement::DoxAttribOptionsComplement() : DoxAttribOptionsTable(kComplementChoices, 3, false)
{
}

bool DoxAttribOptionsComplement::Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText)
{
    if (!text || !*text)
        return true;
    for (const DoxAttribChoice& choice : kComplementChoices) {
        if (std::wstring(choice.text) == text) {
            value = choice.value;
            return true;
        }
    }
    errorText = L"无效数据";
    return false;
}

DoxFormatAttribute::DoxFormatAttribute()
    : DoxAttribute("format", L"格式"), prefix_("prefix", L"前缀", L""), suffix_("suffix", L"后缀", L""),
      format_("format", L"格式", 0, &formats_),
      formatParam_("format_param", L"格式参数", L"", kChoiceFree, &params_), bound_("bound", L"限制长度", 0),
      complement_("complement", L"补齐方式", 0, &complements_), compParam_("comp_param", L"补齐参数", L"")
{
    compParam_.SetLimit(1);
    // The length rule pads a text up to the bound: a bound of billions of characters
    // (typed, or from a damaged template) would exhaust memory on every draw.
    bound_.SetMaximum(kMaxBound);
    for (DoxAttribItem* item : std::initializer_list<DoxAttribItem*>{
             &prefix_, &suffix_, &format_, &formatParam_, &bound_, &complement_, &compParam_}) {
        item->SetShared(true);
        AddItem(item);
    }
    UpdateParamAvailability();
}

int32_t DoxFormatAttribute::GetKindId() const
{
    return DoxAttribKindId::Format;
}

void DoxFormatAttribute::UpdateParamAvailability()
{
    const FormatEntry* entry = GetFormatEntryById(format_.GetUValue());
    if (entry && entry->takesParameter == 1) {
        formatParam_.SetType((formatParam_.GetType() | DOX_ATTRIB_FREETEXT) & ~uint32_t(DOX_ATTRIB_READONLY));
    } else {
        formatParam_.Store(formatParam_.GetDefault());
        formatParam_.SetType((formatParam_.GetType() | DOX_ATTRIB_READONLY) & ~uint32_t(DOX_ATTRIB_FREETEXT));
    }
}

void DoxFormatAttribute::OnLoaded()
{
    UpdateParamAvailability();
    DoxAttribute::OnLoaded();
}

bool DoxFormatAttribute::AcceptChange(bool changing)
{
    if (changing && format_.IsChanging())
        UpdateParamAvailability();
    return DoxAttribute::AcceptChange(changing);
}

void DoxFormatAttribute::OnFieldType(uint32_t type)
{
    formats_.category = type;
    params_.category = type;
    const uint32_t id = format_.GetUValue();
    if ((id >> 16) != type || (id & 0xFFFF) >= GetFormatCount(type)) {
        format_.Store(type << 16);
        UpdateParamAvailability();
    }
}

std::wstring DoxFormatAttribute::BoundAndPad(const std::wstring& text) const
{
    const uint32_t bound = bound_.GetUValue();
    if (bound == 0)
        return text;
    if (text.size() > bound)
        return text.substr(0, bound);
    if (text.size() < bound && !compParam_.GetText().empty()) {
        const std::wstring run(bound - text.size(), compParam_.GetText()[0]);
        return complement_.GetUValue() == 2 ? run + text : text + run;
    }
    return text;
}

std::wstring DoxFormatAttribute::DesignText() const
{
    const FormatEntry* entry = GetFormatEntryById(format_.GetUValue());
    return prefix_.GetText() + BoundAndPad(entry && entry->example ? entry->example : L"") +
           suffix_.GetText();
}

std::wstring DoxFormatAttribute::ContentText(const std::wstring& value) const
{
    if (value.empty())
        return value;
    // Most fields have neither: the value is then copied once, not three times.
    if (prefix_.GetText().empty() && suffix_.GetText().empty())
        return BoundAndPad(value);
    return prefix_.GetText() + BoundAndPad(value) + suffix_.GetText();
}

int32_t DoxFormulaOptions::GetCount()
{
    return static_cast<int32_t>(GetFormulaList(category).size());
}

const wchar_t* DoxFormulaOptions::GetText(int32_t i)
{
    const auto& list = GetFormulaList(category);
    if (i < 0 || i >= static_cast<int32_t>(list.size()))
        return L"";
    return list[static_cast<size_t>(i)]->syntax;
}

DoxFormulaAttribute::DoxFormulaAttribute()
    : DoxAttribute("formula", L"过滤公式"), function_("function", L"函数", kNoFormula, kChoice, &options_),
      param_("param", L"参数", L"", kParamType, nullptr)
{
    function_.SetShared(true);
    param_.SetShared(true);
    AddItem(&function_);
    AddItem(&param_);
}

DoxFormulaAttribute::~DoxFormulaAttribute()
{
    ReleaseFormula();
}

int32_t DoxFormulaAttribute::GetKindId() const
{
    return DoxAttribKindId::Formula;
}

bool DoxFormulaAttribute::AcceptChange(bool changing)
{
    if (changing) {
        std::wstring error;
        if (param_.IsChanging()) {
            if (!CheckFormula(function_.GetText().c_str(), param_.GetText().c_str(), &error)) {
                param_.SetErrorText(error);
                return false;
            }
        } else if (function_.IsChanging()) {
            if (!CheckFormula(function_.GetText().c_str(), param_.GetText().c_str(), &error))
                param_.Store(param_.GetDefault());
        }
    }
    return DoxAttribute::AcceptChange(changing);
}

void DoxFormulaAttribute::OnFieldType(uint32_t type)
{
    options_.category = type;
    if (!IsFormulaForType(type, function_.GetText().c_str())) {
        function_.Store(function_.GetDefault());
        param_.Store(param_.GetDefault());
    }
}

void DoxFormulaAttribute::CreateRunFormula()
{
    ReleaseFormula();
    formula_ = CreateFormula(function_.GetText().c_str());
    if (formula_)
        formula_->Parse(param_.GetText().c_str(), 0, nullptr);
}

void DoxFormulaAttribute::ReleaseFormula()
{
    if (formula_) {
        formula_->Release();
        formula_ = nullptr;
    }
}

int DoxFormulaAttribute::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                                  DataField* field, int32_t row)
{
    return formula_ ? formula_->Evaluate(out, formatId, formatArgument, field, row) : 0;
}
