#include "DoxAttribItemUint.h"

#include <algorithm>

#include "DoxAttribText.h"

namespace
{

constexpr const wchar_t* kOutOfRange = L"超出有效范围";
constexpr const wchar_t* kBadValue = L"无效值";
constexpr const wchar_t* kBadColorFormat = L"颜色格式不正确,请使用格式:#00RRGGBB";
constexpr const wchar_t* kColorOutOfRange = L"颜色值超出有效范围(#00000000 - #00FFFFFF)";

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

} // namespace

DoxAttribItemUint::DoxAttribItemUint(const char* key, const wchar_t* caption, uint32_t initial)
    : DoxAttribItem(key, caption, DOX_ATTRIB_KIND_TEXT | DOX_ATTRIB_FREETEXT, false), value_(initial),
      defaultValue_(initial)
{
}

const wchar_t* DoxAttribItemUint::GetDefaultText()
{
    if (options_)
        return options_->ValueToText(defaultValue_);
    text_ = doxattrib::Format(format_.c_str(), defaultValue_);
    return text_.c_str();
}

const wchar_t* DoxAttribItemUint::GetValueText()
{
    if (options_)
        return options_->ValueToText(value_);
    text_ = doxattrib::Format(format_.c_str(), value_);
    return text_.c_str();
}

bool DoxAttribItemUint::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    uint32_t v = defaultValue_;
    if (options_) {
        std::wstring ignored;
        if (options_->Parse(text, v, ignored))
            return SetValue(static_cast<int32_t>(v));
    }
    if (text && *text) {
        size_t pos = 0;
        doxattrib::DecimalRead read = doxattrib::ReadDecimal(text, pos);
        if (read.negative && read.magnitude != 0) {
            errorText_ = kOutOfRange;
            return false;
        }
        v = read.magnitude > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(read.magnitude);
        std::wstring rest(text + doxattrib::SkipBlanks(text, pos));
        while (!rest.empty() && doxattrib::IsBlank(rest.back()))
            rest.pop_back();
        if (!rest.empty() && (unit_.empty() || !doxattrib::EqualsIgnoreCase(rest.c_str(), unit_.c_str()))) {
            errorText_ = kBadValue;
            return false;
        }
        if (v > maximum_) {
            errorText_ = kOutOfRange;
            return false;
        }
    }
    return SetValue(static_cast<int32_t>(v));
}

int32_t DoxAttribItemUint::GetValue()
{
    return static_cast<int32_t>(value_);
}

bool DoxAttribItemUint::SetValue(int32_t value)
{
    ClearErrorText();
    uint32_t v = static_cast<uint32_t>(value);
    if (!alwaysNotify_ && v == value_)
        return true;
    return ApplyChange(value_, v);
}

std::string DoxAttribItemUint::GetXmlValue()
{
    return std::to_string(static_cast<int32_t>(value_));
}

void DoxAttribItemUint::LoadXmlValue(const char* text)
{
    value_ = std::min(static_cast<uint32_t>(doxattrib::ParseXmlInt32(text)), maximum_);
}

DoxAttribItemColor::DoxAttribItemColor(const char* key, const wchar_t* caption, uint32_t initial)
    : DoxAttribItemUint(key, caption, initial)
{
    SetType(DOX_ATTRIB_KIND_CHOICE | DOX_ATTRIB_FREETEXT | DOX_ATTRIB_COLOR);
    format_ = L"#%08X";
    SetOptions(&colorOptions_);
}

const wchar_t* DoxAttribItemColor::GetDefaultText()
{
    text_ = doxattrib::Format(L"#%08X", defaultValue_);
    return text_.c_str();
}

const wchar_t* DoxAttribItemColor::GetValueText()
{
    text_ = doxattrib::Format(L"#%08X", value_);
    return text_.c_str();
}

bool DoxAttribItemColor::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    uint32_t v = defaultValue_;
    std::wstring ignored;
    if (!colorOptions_.Parse(text, v, ignored)) {
        size_t pos = doxattrib::SkipBlanks(text, 0);
        if (text[pos] == L'#')
            ++pos;
        if (HexDigit(text[pos]) < 0) {
            errorText_ = kBadColorFormat;
            return false;
        }
        uint64_t read = 0;
        for (int d; (d = HexDigit(text[pos])) >= 0; ++pos)
            read = std::min<uint64_t>(read * 16 + static_cast<uint64_t>(d), uint64_t{1} << 32);
        if (text[doxattrib::SkipBlanks(text, pos)] != 0) {
            errorText_ = kBadColorFormat;
            return false;
        }
        if (read > 0xFFFFFFFFu || !IsValidColor(static_cast<uint32_t>(read))) {
            errorText_ = kColorOutOfRange;
            return false;
        }
        v = static_cast<uint32_t>(read);
    }
    return SetValue(static_cast<int32_t>(v));
}

void DoxAttribItemColor::LoadXmlValue(const char* text)
{
    uint32_t v = static_cast<uint32_t>(doxattrib::ParseXmlInt32(text));
    if (IsValidColor(v))
        value_ = v;
}
