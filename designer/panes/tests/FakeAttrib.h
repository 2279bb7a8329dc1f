#pragma once
// A hand-made attribute for the cases the core's controls do not offer: several
// choices, CS values and a refusal on demand.

#include "IDoxAttrib.h"

#include <string>
#include <vector>

class FakeAttrib : public IDoxAttrib
{
public:
    FakeAttrib(const wchar_t* caption, uint32_t type, std::vector<std::wstring> options = {})
        : caption_(caption), type_(type), options_(std::move(options))
    {
    }
    const wchar_t* GetCaption() override { return caption_.c_str(); }
    const wchar_t* GetDescription() override { return L""; }
    uint32_t GetType() override { return type_; }
    const wchar_t* GetDefaultText() override { return defaultText.c_str(); }
    const wchar_t* GetValueText() override { return value.c_str(); }
    bool SetValueText(const wchar_t* text) override
    {
        ++stores;
        if (!refuse.empty() && std::wstring(text).find(refuse) != std::wstring::npos)
            return false;
        value = text;
        return true;
    }
    const wchar_t* GetErrorText() override { return error.c_str(); }
    int32_t GetElementCount() override { return 0; }
    IDoxAttribSet* GetElement(int32_t) override { return nullptr; }
    bool AddElement() override { return false; }
    void RemoveElement(int32_t) override {}
    bool MoveElement(int32_t, bool) override { return false; }
    int32_t GetOptionCount() override { return static_cast<int32_t>(options_.size()); }
    const wchar_t* GetOptionText(int32_t i) override { return options_.at(static_cast<size_t>(i)).c_str(); }
    int32_t GetChildCount() override { return 0; }
    IDoxAttrib* GetChild(int32_t) override { return nullptr; }
    void Destroy(uint32_t) override {}

    std::wstring value;
    std::wstring defaultText;
    std::wstring refuse; // a text containing this is refused
    std::wstring error = L"不接受这个值";
    int stores = 0;

private:
    std::wstring caption_;
    uint32_t type_;
    std::vector<std::wstring> options_;
};

// A set of a few fake attributes.
class FakeSet : public IDoxAttribSet
{
public:
    explicit FakeSet(std::vector<IDoxAttrib*> items) : items_(std::move(items)) {}
    const wchar_t* GetName() override { return L"测试"; }
    int32_t GetCount() override { return static_cast<int32_t>(items_.size()); }
    IDoxAttrib* GetAt(int32_t i) override { return i >= 0 && i < GetCount() ? items_[static_cast<size_t>(i)] : nullptr; }
    void Destroy(uint32_t) override {}

private:
    std::vector<IDoxAttrib*> items_;
};

// A group holding children.
class FakeGroup : public FakeAttrib
{
public:
    FakeGroup(const wchar_t* caption, std::vector<IDoxAttrib*> children)
        : FakeAttrib(caption, DOX_ATTRIB_KIND_GROUP), children_(std::move(children))
    {
    }
    int32_t GetChildCount() override { return static_cast<int32_t>(children_.size()); }
    IDoxAttrib* GetChild(int32_t i) override
    {
        return i >= 0 && i < GetChildCount() ? children_[static_cast<size_t>(i)] : nullptr;
    }

private:
    std::vector<IDoxAttrib*> children_;
};
