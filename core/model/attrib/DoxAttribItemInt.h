#pragma once
// Signed number items, and the position and size items built on them (0.1 mm).

#include <cstdint>
#include <string>

#include "DoxAttribItem.h"

class DoxAttribItemInt : public DoxAttribItem
{
public:
    DoxAttribItemInt(const char* key, const wchar_t* caption, int32_t initial, bool fullSaveOnly = false);

    // With options: the text of the choice for the value (empty when none is);
    // without: the value written with the number format.
    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    // A choice's text, or a decimal number optionally followed by the unit; the
    // empty text restores the default.
    bool SetValueText(const wchar_t* text) override;
    int32_t GetValue() override;
    // Refuses a value outside the range with "超出有效范围".
    bool SetValue(int32_t value) override;

    void SetRange(int32_t minimum, int32_t maximum);
    int32_t GetMinimum() const { return minimum_; }
    int32_t GetMaximum() const { return maximum_; }
    void SetUnit(const wchar_t* unit) { unit_ = unit ? unit : L""; }
    int32_t GetDefault() const { return defaultValue_; }
    // Stores a value as it is kept (a y position negated), without the change chain
    // or a range test: for the model's own values, such as a new control's rectangle.
    void StoreValue(int32_t stored) { value_ = stored; }
    int32_t GetStoredValue() const { return value_; }

protected:
    std::string GetXmlValue() override;
    // The loaded number is brought into the range.
    void LoadXmlValue(const char* text) override;
    // The stored value nearest to a loaded one that the item's range allows.
    virtual int32_t ClampStored(int32_t stored) const;

    void SetOptions(DoxAttribOptions* options) { options_ = options; }

    // The change chain of positions and sizes: the parent hears of the change first
    // with changing false (the old place), then with true (the new value).
    bool ChangeStoredTwice(int32_t stored);
    // Reads "12.5", "12.5 mm", "mm"; false with "超出有效范围" for a wrong unit or a
    // value outside the range.
    bool ParseTenths(const wchar_t* text, int32_t& tenths);
    static std::wstring FormatTenths(int64_t shown);

    int32_t value_;
    int32_t defaultValue_;
    int32_t minimum_ = INT32_MIN;
    int32_t maximum_ = INT32_MAX;
    std::wstring format_ = L"%d";
    std::wstring unit_;
};

// A position in 0.1 mm, shown as "%d.%01dmm". An x position is stored as shown; a y
// position stores the negated distance from the page top, because page
// coordinates grow upward, and shows and accepts the distance.
class DoxAttribItemPos : public DoxAttribItemInt
{
public:
    DoxAttribItemPos(const char* key, const wchar_t* caption, bool axisX);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    // value is the shown distance; no range test here (that belongs to the text).
    bool SetValue(int32_t value) override;

    bool IsAxisX() const { return axisX_ != 0; }
    // The distance as shown: the stored value, negated for y.
    int32_t GetShownValue() const;

protected:
    int32_t ClampStored(int32_t stored) const override;

private:
    int32_t axisX_;
};

// A width or height in 0.1 mm, 1 mm to 600 mm.
class DoxAttribItemSize : public DoxAttribItemInt
{
public:
    DoxAttribItemSize(const char* key, const wchar_t* caption);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    // No range test here (that belongs to the text).
    bool SetValue(int32_t value) override;
};
