#include "DoxAttribItemBool.h"

#include "DoxAttribText.h"

DoxAttribItemBoolEx::DoxAttribItemBoolEx(const char* key, const wchar_t* caption, bool initial,
                                         DoxAttribOptions* options)
    : DoxAttribItem(key, caption, DOX_ATTRIB_KIND_CHOICE, false), value_(initial ? 1 : 0),
      defaultValue_(value_)
{
    options_ = options;
}

const wchar_t* DoxAttribItemBoolEx::GetDefaultText()
{
    return options_ ? options_->ValueToText(static_cast<uint32_t>(defaultValue_)) : L"";
}

const wchar_t* DoxAttribItemBoolEx::GetValueText()
{
    return options_ ? options_->ValueToText(static_cast<uint32_t>(value_)) : L"";
}

bool DoxAttribItemBoolEx::SetValueText(const wchar_t* text)
{
    ClearErrorText();
    uint32_t v = static_cast<uint32_t>(defaultValue_);
    if (options_) {
        if (!options_->Parse(text, v, errorText_))
            return false;
    } else if (text && *text) {
        errorText_ = L"无效数据";
        return false;
    }
    return SetValue(static_cast<int32_t>(v));
}

int32_t DoxAttribItemBoolEx::GetValue()
{
    return value_;
}

bool DoxAttribItemBoolEx::SetValue(int32_t value)
{
    ClearErrorText();
    int32_t v = value != 0 ? 1 : 0;
    if (!alwaysNotify_ && v == value_)
        return true;
    return ApplyChange(value_, v);
}

std::string DoxAttribItemBoolEx::GetXmlValue()
{
    return std::to_string(value_);
}

void DoxAttribItemBoolEx::LoadXmlValue(const char* text)
{
    value_ = doxattrib::ParseXmlInt32(text) != 0 ? 1 : 0;
}

DoxAttribItemBool::DoxAttribItemBool(const char* key, const wchar_t* caption, bool initial)
    : DoxAttribItemBoolEx(key, caption, initial)
{
    SetOptions(&boolOptions_);
}
