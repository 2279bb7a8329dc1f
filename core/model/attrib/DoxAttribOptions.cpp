#include "DoxAttribOptions.h"

#include "DoxAttribText.h"

namespace
{

constexpr const wchar_t* kInvalidData = L"无效数据";

bool IsEmptyText(const wchar_t* text)
{
    return text == nullptr || *text == 0;
}

constexpr DoxAttribChoice kBoolChoices[] = {{L"否", 0}, {L"是", 1}};
constexpr DoxAttribChoice kPlotChoices[] = {{L"左端", 0}, {L"右端", 1}};
constexpr DoxAttribChoice kVAlignChoices[] = {{L"顶部对齐", 0}, {L"居中", 36}, {L"底部对齐", 40}};
constexpr DoxAttribChoice kHAlignChoices[] = {{L"左对齐", 0}, {L"居中", 1}, {L"右对齐", 2}};
constexpr DoxAttribChoice kFieldTypeChoices[] = {{L"文本", 0}, {L"数值", 1}, {L"日期", 2}, {L"日期时间", 3}};

constexpr DoxAttribChoice kTransparentChoices[] = {
    {L"0", 0},     {L"30", 30},   {L"60", 60},   {L"90", 90},   {L"120", 120},
    {L"150", 150}, {L"180", 180}, {L"210", 210}, {L"240", 240},
};

constexpr uint32_t kPalette[kDoxColorPaletteSize] = {
    0xFFFFFFFF, 0x00FFFFFF, 0x00F2F2F2, 0x00D8D8D8, 0x00BFBFBF, 0x00A5A5A5, 0x007F7F7F, 0x00000000,
    0x007F7F7F, 0x00595959, 0x003F3F3F, 0x00262626, 0x000C0C0C, 0x00E1ECEE, 0x00C3D9DD, 0x0097BDC4,
    0x00538993, 0x00294449, 0x00101B1D, 0x007D491F, 0x00F0D9C6, 0x00E2B38D, 0x00D48D54, 0x005D3617,
    0x003E240F, 0x00BD814F, 0x00F1E5DB, 0x00E4CCB8, 0x00D7B395, 0x00926036, 0x00614024, 0x004D50C0,
    0x00DBDCF2, 0x00B7B9E5, 0x009496D9, 0x00343795, 0x00232463, 0x0059BB9B, 0x00DDF1EB, 0x00BCE3D7,
    0x009BD6C3, 0x003C9276, 0x0028614F, 0x00A26480, 0x00ECE0E5, 0x00D9C1CC, 0x00C7A2B2, 0x007A495F,
    0x0051313F, 0x00C6AC4B, 0x00F3EEDB, 0x00E8DDB7, 0x00DCCD92, 0x009B8531, 0x00675820, 0x004696F7,
    0x00DAEAFD, 0x00B5D5FB, 0x008FC0FA, 0x00096CE3, 0x00064897, 0x000000C0, 0x000000FF, 0x0000C0FF,
    0x0000FFFF, 0x0050D092, 0x0050B000, 0x00F0B000, 0x00C07000, 0x00602000, 0x00A03070,
};

} // namespace

DoxAttribOptions::~DoxAttribOptions() = default;

void DoxAttribOptions::Destroy(uint32_t flags)
{
    if (flags & 1)
        delete this;
    else
        this->~DoxAttribOptions();
}

int32_t DoxAttribOptions::GetCount()
{
    return 0;
}
const wchar_t* DoxAttribOptions::GetText(int32_t)
{
    return L"";
}
const wchar_t* DoxAttribOptions::ValueToText(uint32_t)
{
    return L"";
}
bool DoxAttribOptions::Parse(const wchar_t*, uint32_t&, std::wstring&)
{
    return false;
}

DoxAttribOptionsTable::DoxAttribOptionsTable(const DoxAttribChoice* choices, int32_t count,
                                             bool nonZeroIsLast)
    : choices_(choices), count_(count), nonZeroIsLast_(nonZeroIsLast)
{
}

int32_t DoxAttribOptionsTable::GetCount()
{
    return count_;
}

const wchar_t* DoxAttribOptionsTable::GetText(int32_t i)
{
    return (i >= 0 && i < count_) ? choices_[i].text : L"";
}

const wchar_t* DoxAttribOptionsTable::ValueToText(uint32_t value)
{
    if (nonZeroIsLast_)
        return choices_[value != 0 ? count_ - 1 : 0].text;
    for (int32_t i = 0; i < count_; ++i) {
        if (choices_[i].value == value)
            return choices_[i].text;
    }
    return L"";
}

bool DoxAttribOptionsTable::Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText)
{
    if (IsEmptyText(text))
        return true;
    for (int32_t i = 0; i < count_; ++i) {
        if (doxattrib::EqualsIgnoreCase(text, choices_[i].text)) {
            value = choices_[i].value;
            return true;
        }
    }
    errorText = kInvalidData;
    return false;
}

DoxAttribOptionsBool::DoxAttribOptionsBool() : DoxAttribOptionsTable(kBoolChoices, 2, true) {}
DoxAttribOptionsPlot::DoxAttribOptionsPlot() : DoxAttribOptionsTable(kPlotChoices, 2, true) {}
DoxAttribOptionsVAlign::DoxAttribOptionsVAlign() : DoxAttribOptionsTable(kVAlignChoices, 3, false) {}
DoxAttribOptionsHAlign::DoxAttribOptionsHAlign() : DoxAttribOptionsTable(kHAlignChoices, 3, false) {}
DoxAttribOptionsFieldType::DoxAttribOptionsFieldType() : DoxAttribOptionsTable(kFieldTypeChoices, 4, false) {}

int32_t DoxAttribOptionsTransparent::GetCount()
{
    return 9;
}

const wchar_t* DoxAttribOptionsTransparent::GetText(int32_t i)
{
    return (i >= 0 && i < 9) ? kTransparentChoices[i].text : L"";
}

const wchar_t* DoxAttribOptionsTransparent::ValueToText(uint32_t value)
{
    for (const auto& choice : kTransparentChoices) {
        if (choice.value == (value & 0xFFu))
            return choice.text;
    }
    return L"";
}

bool DoxAttribOptionsTransparent::Parse(const wchar_t* text, uint32_t&, std::wstring&)
{
    return IsEmptyText(text);
}

const uint32_t* DoxColorPalette()
{
    return kPalette;
}

int32_t DoxAttribOptionsColor::GetCount()
{
    return kDoxColorPaletteSize;
}

const wchar_t* DoxAttribOptionsColor::GetText(int32_t i)
{
    if (i < 0 || i >= kDoxColorPaletteSize)
        return L"";
    text_ = doxattrib::Format(L"#%08X", kPalette[i]);
    return text_.c_str();
}

const wchar_t* DoxAttribOptionsColor::ValueToText(uint32_t value)
{
    for (uint32_t entry : kPalette) {
        if (entry == value) {
            text_ = doxattrib::Format(L"#%08X", value);
            return text_.c_str();
        }
    }
    return L"";
}

bool DoxAttribOptionsColor::Parse(const wchar_t* text, uint32_t&, std::wstring&)
{
    return IsEmptyText(text);
}

DoxAttribOptionsFieldName::DoxAttribOptionsFieldName(FieldSource source) : source_(std::move(source)) {}

int32_t DoxAttribOptionsFieldName::GetCount()
{
    names_ = source_ ? source_() : std::vector<std::wstring>{};
    return static_cast<int32_t>(names_.size());
}

const wchar_t* DoxAttribOptionsFieldName::GetText(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= names_.size())
        return L"";
    return names_[static_cast<size_t>(i)].c_str();
}

const wchar_t* DoxAttribOptionsFieldName::ValueToText(uint32_t)
{
    return L"";
}

bool DoxAttribOptionsFieldName::Parse(const wchar_t*, uint32_t&, std::wstring&)
{
    return false;
}
