#include "DoxAttribItemInt.h"

#include <algorithm>

#include "DoxAttribOptions.h"
#include "DoxAttribText.h"

namespace
{

constexpr const wchar_t* kOutOfRange = L"超出有效范围";
constexpr const wchar_t* kBadValue = L"无效值";

// The rest of a text after a number, without trailing blanks.
std::wstring RestOf(const wchar_t* text, size_t pos)
{
    std::wstring rest(text + doxattrib::SkipBlanks(text, pos));
    while (!rest.empty() && doxattrib::IsBlank(rest.back()))
        rest.pop_back();
    return rest;
}

int32_t ClampTo(int64_t v, int32_t lo, int32_t hi)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, lo, hi));
}

} // namespace

DoxAttribItemInt::DoxAttribItemInt(const char* key, const wchar_t* caption, int32_t initial,
                                   bool fullSaveOnly)
    : DoxAttribItem(key, caption, DOX_ATTRIB_KIND_TEXT | DOX_ATTRIB_FREETEXT, fullSaveOnly), value_(initial),
      defaultValue_(initial)
{
}

const wchar_t* DoxAttribItemInt::GetDefaultText()
{
    if (options_)
        return options_->ValueToText(static_cast<uint32_t>(defaultValue_));
    text_ = doxattrib::Format(format_.c_str(), defaultValue_);
    return text_.c_str();
}

const wchar_t* DoxAttribItemInt::GetValueText()
{
    if (options_)
        return options_->ValueToText(static_cast<uint32_t>(value_));
    text_ = doxattrib::Format(format_.c_str(), value_);
    return text_.c_str();
}

bool DoxAttribItemInt::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    int32_t v = defaultValue_;
    if (options_) {
        uint32_t chosen = static_cast<uint32_t>(v);
        std::wstring ignored;
        if (options_->Parse(text, chosen, ignored))
            return SetValue(static_cast<int32_t>(chosen));
    }
    if (text && *text) {
        size_t pos = 0;
        v = doxattrib::SaturateToInt32(doxattrib::ReadDecimal(text, pos));
        std::wstring rest = RestOf(text, pos);
        if (!rest.empty() && (unit_.empty() || !doxattrib::EqualsIgnoreCase(rest.c_str(), unit_.c_str()))) {
            errorText_ = kBadValue;
            return false;
        }
    }
    return SetValue(v);
}

int32_t DoxAttribItemInt::GetValue()
{
    return value_;
}

bool DoxAttribItemInt::SetValue(int32_t value)
{
    ClearErrorText();
    if (value < minimum_ || value > maximum_) {
        errorText_ = kOutOfRange;
        return false;
    }
    if (!alwaysNotify_ && value == value_)
        return true;
    return ApplyChange(value_, value);
}

void DoxAttribItemInt::SetRange(int32_t minimum, int32_t maximum)
{
    minimum_ = minimum;
    maximum_ = maximum;
}

std::string DoxAttribItemInt::GetXmlValue()
{
    return std::to_string(value_);
}

void DoxAttribItemInt::LoadXmlValue(const char* text)
{
    value_ = ClampStored(doxattrib::ParseXmlInt32(text));
}

int32_t DoxAttribItemInt::ClampStored(int32_t stored) const
{
    return ClampTo(stored, minimum_, maximum_);
}

bool DoxAttribItemInt::ChangeStoredTwice(int32_t stored)
{
    ClearErrorText();
    if (stored == value_)
        return true;
    AskParent(false);
    return ApplyChange(value_, stored);
}

bool DoxAttribItemInt::ParseTenths(const wchar_t* text, int32_t& tenths)
{
    size_t pos = 0;
    doxattrib::DecimalRead whole = doxattrib::ReadDecimal(text, pos);
    int64_t v = static_cast<int64_t>(whole.magnitude) * 10;
    if (text[pos] == L'.') {
        ++pos;
        // One digit is the unit's resolution; further digits are dropped, as the
        // shown value drops them, rather than read as a whole number.
        if (text[pos] >= L'0' && text[pos] <= L'9')
            v += text[pos++] - L'0';
        while (text[pos] >= L'0' && text[pos] <= L'9')
            ++pos;
    }
    if (whole.negative)
        v = -v;
    std::wstring rest = RestOf(text, pos);
    if ((!rest.empty() && !doxattrib::EqualsIgnoreCase(rest.c_str(), L"mm")) || v < minimum_ ||
        v > maximum_) {
        errorText_ = kOutOfRange;
        return false;
    }
    tenths = static_cast<int32_t>(v);
    return true;
}

std::wstring DoxAttribItemInt::FormatTenths(int64_t shown)
{
    // The sign is written apart so that -0.5 does not lose it.
    int64_t magnitude = shown < 0 ? -shown : shown;
    return doxattrib::Format(L"%ls%lld.%01lldmm", shown < 0 ? L"-" : L"",
                             static_cast<long long>(magnitude / 10), static_cast<long long>(magnitude % 10));
}

DoxAttribItemPos::DoxAttribItemPos(const char* key, const wchar_t* caption, bool axisX)
    : DoxAttribItemInt(key, caption, 0), axisX_(axisX ? 1 : 0)
{
    SetRange(0, 6000);
    format_ = L"%d.%01dmm";
    unit_ = L"mm";
}

int32_t DoxAttribItemPos::GetShownValue() const
{
    return axisX_ ? value_ : ClampTo(-static_cast<int64_t>(value_), INT32_MIN, INT32_MAX);
}

const wchar_t* DoxAttribItemPos::GetDefaultText()
{
    text_ = FormatTenths(axisX_ ? defaultValue_ : -static_cast<int64_t>(defaultValue_));
    return text_.c_str();
}

const wchar_t* DoxAttribItemPos::GetValueText()
{
    text_ = FormatTenths(axisX_ ? value_ : -static_cast<int64_t>(value_));
    return text_.c_str();
}

bool DoxAttribItemPos::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    int32_t v = axisX_ ? defaultValue_ : ClampTo(-static_cast<int64_t>(defaultValue_), INT32_MIN, INT32_MAX);
    if (text && *text && !ParseTenths(text, v))
        return false;
    return SetValue(v);
}

bool DoxAttribItemPos::SetValue(int32_t value)
{
    int32_t stored = axisX_ ? value : ClampTo(-static_cast<int64_t>(value), INT32_MIN, INT32_MAX);
    return ChangeStoredTwice(stored);
}

int32_t DoxAttribItemPos::ClampStored(int32_t stored) const
{
    if (axisX_)
        return DoxAttribItemInt::ClampStored(stored);
    return -ClampTo(-static_cast<int64_t>(stored), minimum_, maximum_);
}

DoxAttribItemSize::DoxAttribItemSize(const char* key, const wchar_t* caption)
    : DoxAttribItemInt(key, caption, 0)
{
    SetRange(10, 6000);
    format_ = L"%d.%01dmm";
    unit_ = L"mm";
}

const wchar_t* DoxAttribItemSize::GetDefaultText()
{
    text_ = FormatTenths(defaultValue_);
    return text_.c_str();
}

const wchar_t* DoxAttribItemSize::GetValueText()
{
    text_ = FormatTenths(value_);
    return text_.c_str();
}

bool DoxAttribItemSize::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    int32_t v = defaultValue_;
    if (text && *text) {
        if (!ParseTenths(text, v))
            return false;
    } else if (v < minimum_ || v > maximum_) {
        // The default of a size is a placeholder below the minimum (the control's
        // create function sets the real size), never a width to restore.
        errorText_ = kOutOfRange;
        return false;
    }
    return SetValue(v);
}

bool DoxAttribItemSize::SetValue(int32_t value)
{
    return ChangeStoredTwice(value);
}
