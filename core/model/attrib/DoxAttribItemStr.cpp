#include "DoxAttribItemStr.h"

#include "CharBuffer.h"
#include "DoxAttribText.h"

DoxAttribItemStr::DoxAttribItemStr(const char* key, const wchar_t* caption, const wchar_t* initial)
    : DoxAttribItem(key, caption, DOX_ATTRIB_KIND_TEXT | DOX_ATTRIB_FREETEXT, false),
      value_(initial ? initial : L""), defaultValue_(value_)
{
}

const wchar_t* DoxAttribItemStr::GetDefaultText()
{
    return defaultValue_.c_str();
}

const wchar_t* DoxAttribItemStr::GetValueText()
{
    return value_.c_str();
}

bool DoxAttribItemStr::SetValueText(const wchar_t* text)
{
    return SetValue(std::wstring(text ? text : L""));
}

bool DoxAttribItemStr::SetValue(const std::wstring& text)
{
    ClearErrorText();
    if (limit_ > 0 && text.size() > static_cast<size_t>(limit_)) {
        errorText_ = doxattrib::Format(L"超出%d字符长度限制", limit_);
        return false;
    }
    if (!alwaysNotify_ && doxattrib::EqualsIgnoreCase(text.c_str(), value_.c_str()))
        return true;
    return ApplyChange(value_, text);
}

void DoxAttribItemStr::SetTextLimited(const std::wstring& text)
{
    if (limit_ >= 1 && text.size() > static_cast<size_t>(limit_))
        value_ = text.substr(0, static_cast<size_t>(limit_));
    else
        value_ = text;
}

std::string DoxAttribItemStr::GetXmlValue()
{
    return WideToUtf8(value_);
}

void DoxAttribItemStr::LoadXmlValue(const char* text)
{
    std::wstring wide;
    if (text)
        wide = Utf8ToWide(std::string(text));
    SetTextLimited(wide);
}
