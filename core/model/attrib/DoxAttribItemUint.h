#pragma once
// Unsigned number items, and the colour items built on them (0x00RRGGBB, with
// 0xFFFFFFFF for no colour).

#include <cstdint>
#include <string>

#include "DoxAttribItem.h"
#include "DoxAttribOptions.h"

class DoxAttribItemUint : public DoxAttribItem
{
public:
    DoxAttribItemUint(const char* key, const wchar_t* caption, uint32_t initial);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    // A choice's text, or a decimal number; a negative number is refused with
    // "超出有效范围" rather than wrapped around.
    bool SetValueText(const wchar_t* text) override;
    int32_t GetValue() override;
    // The value's bits.
    bool SetValue(int32_t value) override;

    uint32_t GetUValue() const { return value_; }
    // Larger numbers are refused when typed and clamped when read from a template.
    void SetMaximum(uint32_t maximum) { maximum_ = maximum; }
    uint32_t GetDefault() const { return defaultValue_; }

protected:
    // Written as a signed decimal, so that values from 0x80000000 read back to the
    // same bits.
    std::string GetXmlValue() override;
    void LoadXmlValue(const char* text) override;

    void SetOptions(DoxAttribOptions* options) { options_ = options; }

    uint32_t value_;
    uint32_t defaultValue_;
    uint32_t maximum_ = 0xFFFFFFFFu;
    std::wstring format_ = L"%u";
    std::wstring unit_;
};

class DoxAttribItemColor : public DoxAttribItemUint
{
public:
    DoxAttribItemColor(const char* key, const wchar_t* caption, uint32_t initial);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    // "#00RRGGBB", "00rrggbb" or "#rrggbb"; "#FFFFFFFF" is no colour; the empty text
    // restores the default.
    bool SetValueText(const wchar_t* text) override;

    static bool IsValidColor(uint32_t value) { return value <= 0x00FFFFFFu || value == 0xFFFFFFFFu; }

protected:
    // A colour outside the valid values is refused and the current colour kept.
    void LoadXmlValue(const char* text) override;

private:
    DoxAttribOptionsColor colorOptions_;
};
