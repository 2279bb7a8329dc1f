#pragma once
// Yes/no items. The value is 0 or 1; its texts come from the options, which a
// derived class supplies (DoxAttribItemBool brings the "否"/"是" list).

#include "DoxAttribItem.h"
#include "DoxAttribOptions.h"

class DoxAttribItemBoolEx : public DoxAttribItem
{
public:
    DoxAttribItemBoolEx(const char* key, const wchar_t* caption, bool initial,
                        DoxAttribOptions* options = nullptr);

    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    // A choice's text; the empty text restores the default.
    bool SetValueText(const wchar_t* text) override;
    int32_t GetValue() override;
    // Any non-zero value is stored as 1.
    bool SetValue(int32_t value) override;

    bool GetDefault() const { return defaultValue_ != 0; }

protected:
    std::string GetXmlValue() override;
    void LoadXmlValue(const char* text) override;

    void SetOptions(DoxAttribOptions* options) { options_ = options; }

    int32_t value_;
    int32_t defaultValue_;
};

class DoxAttribItemBool : public DoxAttribItemBoolEx
{
public:
    DoxAttribItemBool(const char* key, const wchar_t* caption, bool initial);

private:
    DoxAttribOptionsBool boolOptions_;
};
