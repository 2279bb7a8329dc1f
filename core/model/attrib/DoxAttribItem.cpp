#include "DoxAttribItem.h"

#include <tinyxml2.h>

#include "DoxAttribOptions.h"
#include "DoxAttribute.h"

DoxAttribItem::DoxAttribItem(const char* key, const wchar_t* caption, uint32_t type, bool fullSaveOnly)
    : DoxAttribBase(key, caption, type), fullSaveOnly_(fullSaveOnly ? 1 : 0)
{
}

DoxAttribItem::~DoxAttribItem() = default;

int32_t DoxAttribItem::GetOptionCount()
{
    return options_ ? options_->GetCount() : 0;
}

const wchar_t* DoxAttribItem::GetOptionText(int32_t i)
{
    return options_ ? options_->GetText(i) : L"";
}

const char* DoxAttribItem::GetXmlTag() const
{
    return "dox:attribitem";
}

bool DoxAttribItem::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!MatchesElement(element))
        return false;
    LoadXmlValue(element->Attribute("value"));
    return true;
}

bool DoxAttribItem::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (fullSaveOnly_ && !full)
        return true;
    if (!element)
        return false;
    if (!key_.empty())
        element->SetAttribute("id", key_.c_str());
    element->SetAttribute("value", GetXmlValue().c_str());
    return true;
}

void DoxAttribItem::SetParent(DoxAttribute* parent)
{
    parent_ = parent;
}

int32_t DoxAttribItem::GetValue()
{
    return 0;
}

bool DoxAttribItem::SetValue(int32_t)
{
    return false;
}

bool DoxAttribItem::AskParent(bool changing)
{
    changing_ = 1;
    bool accepted = parent_ ? parent_->AcceptChange(changing) : true;
    changing_ = 0;
    return accepted;
}
