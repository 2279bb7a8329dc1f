#pragma once
// Small attribute sets shaped like the controls that carry them, and groups that
// record or refuse changes, for the attribute tests.

#include <string>
#include <vector>

#include "DoxAlignAttribute.h"
#include "DoxAttribKinds.h"
#include "DoxAttribSet.h"
#include "DoxBasicAttribute.h"
#include "DoxSingleAttributes.h"

namespace attribtest
{

class FakePage : public DoxPageExtent
{
public:
    FakePage(int32_t width, int32_t height) : width_(width), height_(height) {}
    bool GetPageExtent(int32_t& width, int32_t& height) const override
    {
        width = width_;
        height = height_;
        return true;
    }

private:
    int32_t width_;
    int32_t height_;
};

// A root set that counts the changes that reach it and can refuse them.
class ControlSet : public DoxAttribSet
{
public:
    ControlSet(const char* id, const wchar_t* name)
    {
        SetId(id);
        SetName(name);
    }
    const char* GetXmlTag() const override { return "dox:control"; }
    bool AcceptChange(bool changing) override
    {
        calls.push_back(changing);
        if (changing && refuse) {
            for (DoxAttribute* attribute : Attributes()) {
                if (DoxAttribItem* item = attribute->GetChangingItem())
                    item->SetErrorText(refusal);
            }
            return false;
        }
        return true;
    }

    DoxBasicAttribute base;
    std::vector<bool> calls;
    bool refuse = false;
    std::wstring refusal = L"控件拒绝";
};

// The attributes of an edit control.
class EditLikeSet : public ControlSet
{
public:
    EditLikeSet() : ControlSet("editcontrol", L"文本控件"), bgcolor(0x00D8D8D8)
    {
        for (DoxAttribItem* item : std::vector<DoxAttribItem*>{&editable, &printable, &visible, &border,
                                                               &bgcolor, &fgcolor, &transparent, &tip})
            base.AddItem(item);
        AddAttribute(&base);
        AddAttribute(&align);
    }
    DoxEditableAttribute editable;
    DoxPrintableAttribute printable;
    DoxVisibleAttribute visible;
    DoxBorderAttribute border;
    DoxBgColorAttributeEx bgcolor;
    DoxFgColorAttribute fgcolor;
    DoxTransparentAttribute transparent;
    DoxTipAttribute tip;
    DoxAlignAttribute align;
};

// The attributes of a label control.
class LabelLikeSet : public ControlSet
{
public:
    LabelLikeSet() : ControlSet("labelcontrol", L"标签控件"), bgcolor(0xFFFFFFFF)
    {
        for (DoxAttribItem* item :
             std::vector<DoxAttribItem*>{&printable, &border, &bgcolor, &fgcolor, &text})
            base.AddItem(item);
        AddAttribute(&base);
        AddAttribute(&align);
    }
    DoxPrintableAttribute printable;
    DoxBorderAttribute border;
    DoxBgColorAttributeEx bgcolor;
    DoxFgColorAttribute fgcolor;
    DoxTextAttribute text;
    DoxAlignAttribute align;
};

// The attributes of a line control: only the base group with a colour.
class LineLikeSet : public ControlSet
{
public:
    LineLikeSet() : ControlSet("linecontrol", L"直线控件")
    {
        base.AddItem(&printable);
        base.AddItem(&fgcolor);
        AddAttribute(&base);
    }
    DoxPrintableAttribute printable;
    DoxFgColorAttribute fgcolor;
};

// A group of a test class that records what it is asked and can refuse.
class RecordingGroup : public DoxAttribute
{
public:
    explicit RecordingGroup(const char* key = "test", int32_t kindId = 100)
        : DoxAttribute(key, L"测试"), kindId_(kindId)
    {
    }
    int32_t GetKindId() const override { return kindId_; }
    bool AcceptChange(bool changing) override
    {
        DoxAttribItem* item = GetChangingItem();
        seen.push_back({item ? item->GetKey() : std::string("?"), changing,
                        item ? std::wstring(item->GetValueText()) : std::wstring()});
        if (changing && refuse) {
            if (item && !refusal.empty())
                item->SetErrorText(refusal);
            return false;
        }
        return DoxAttribute::AcceptChange(changing);
    }
    void Refresh() override
    {
        ++refreshes;
        DoxAttribute::Refresh();
    }
    void OnLoaded() override { ++loads; }

    struct Seen {
        std::string key;
        bool changing;
        std::wstring valueText; // what the item showed while being asked
    };
    std::vector<Seen> seen;
    bool refuse = false;
    std::wstring refusal;
    int refreshes = 0;
    int loads = 0;

private:
    int32_t kindId_;
};

inline void RegisterKindsOnce()
{
    RegisterAttribKinds();
}

} // namespace attribtest
