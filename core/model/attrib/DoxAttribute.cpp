#include "DoxAttribute.h"

#include <cstring>

#include <tinyxml2.h>

#include "DoxAttribItem.h"
#include "DoxAttribSet.h"

DoxAttribute::DoxAttribute(const char* key, const wchar_t* caption)
    : DoxAttribBase(key, caption, DOX_ATTRIB_KIND_GROUP)
{
}

DoxAttribute::~DoxAttribute() = default;

int32_t DoxAttribute::GetChildCount()
{
    return static_cast<int32_t>(items_.size());
}

IDoxAttrib* DoxAttribute::GetChild(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= items_.size())
        return nullptr;
    return items_[static_cast<size_t>(i)];
}

const char* DoxAttribute::GetXmlTag() const
{
    return "dox:attrib";
}

bool DoxAttribute::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!MatchesElement(element))
        return false;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement("dox:attribitem"); child;
         child = child->NextSiblingElement("dox:attribitem")) {
        const char* id = child->Attribute("id");
        for (DoxAttribItem* item : items_) {
            if (!item->IsPersisted())
                continue;
            const std::string& key = item->GetKey();
            bool same = id ? key == id : key.empty();
            if (same && !item->LoadXml(child))
                return false;
        }
    }
    OnLoaded();
    return true;
}

bool DoxAttribute::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (!element)
        return false;
    if (!key_.empty())
        element->SetAttribute("id", key_.c_str());
    for (DoxAttribItem* item : items_) {
        // A copy leaves out the items that only the template file keeps, rather than
        // writing an empty element for them.
        if (!item->IsPersisted() || (item->IsFullSaveOnly() && !full))
            continue;
        tinyxml2::XMLElement* child = element->InsertNewChildElement("dox:attribitem");
        if (!child || !item->SaveXml(child, full))
            return false;
    }
    return true;
}

void DoxAttribute::Refresh()
{
    for (DoxAttribItem* item : items_)
        item->Refresh();
}

bool DoxAttribute::AcceptChange(bool changing)
{
    return owner_ ? owner_->AcceptChange(changing) : true;
}

void DoxAttribute::OnLoaded() {}

void DoxAttribute::AddItem(DoxAttribItem* item)
{
    items_.push_back(item);
    item->SetParent(this);
}

DoxAttribItem* DoxAttribute::GetChangingItem() const
{
    for (DoxAttribItem* item : items_) {
        if (item->IsChanging())
            return item;
    }
    return nullptr;
}

void DoxAttribute::RefreshOwnerSet()
{
    if (owner_)
        DoxAttribSet::RefreshAll(owner_, true);
}
