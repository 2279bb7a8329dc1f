#pragma once
// Text items, optionally limited to a number of characters.

#include <cstdint>
#include <string>

#include "DoxAttribItem.h"

class DoxAttribItemStr : public DoxAttribItem
{
public:
    DoxAttribItemStr(const char* key, const wchar_t* caption, const wchar_t* initial);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;

    using DoxAttribItem::SetValue;
    // Refuses a text over the limit with "超出%d字符长度限制"; a text that differs
    // only in the case of A-Z is taken as unchanged.
    virtual bool SetValue(const std::wstring& text);
    // Stores a text from the model directly, without the change chain, cut to the
    // limit.
    void SetTextLimited(const std::wstring& text);

    const std::wstring& GetText() const { return value_; }
    const std::wstring& GetDefault() const { return defaultValue_; }
    // 0: no limit.
    void SetLimit(int32_t limit) { limit_ = limit; }
    int32_t GetLimit() const { return limit_; }

protected:
    std::string GetXmlValue() override;
    // A loaded text longer than the limit is cut to it.
    void LoadXmlValue(const char* text) override;

    std::wstring value_;
    std::wstring defaultValue_;
    int32_t limit_ = 0;
};
