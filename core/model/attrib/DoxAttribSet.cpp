#include "DoxAttribSet.h"

#include <tinyxml2.h>

#include "DoxAttribute.h"

DoxAttribSet::DoxAttribSet(DoxAttribSet* owner) : owner_(owner ? owner : this) {}

DoxAttribSet::~DoxAttribSet() = default;

const wchar_t* DoxAttribSet::GetName()
{
    return name_.c_str();
}

int32_t DoxAttribSet::GetCount()
{
    return static_cast<int32_t>(attributes_.size());
}

IDoxAttrib* DoxAttribSet::GetAt(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= attributes_.size())
        return nullptr;
    return attributes_[static_cast<size_t>(i)];
}

void DoxAttribSet::Destroy(uint32_t flags)
{
    if (flags & 1)
        delete this;
    else
        this->~DoxAttribSet();
}

const char* DoxAttribSet::GetXmlTag() const
{
    return "dox:attribset";
}

bool DoxAttribSet::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!DoxXmlElementMatches(element, GetXmlTag(), id_))
        return false;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement("dox:attrib"); child;
         child = child->NextSiblingElement("dox:attrib")) {
        const char* id = child->Attribute("id");
        for (DoxAttribute* attribute : attributes_) {
            const std::string& key = attribute->GetKey();
            bool same = id ? key == id : key.empty();
            if (same && !attribute->LoadXml(child))
                return false;
        }
    }
    return true;
}

bool DoxAttribSet::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (!element)
        return false;
    if (IsRoot()) {
        for (DoxAttribute* attribute : attributes_)
            attribute->Refresh();
    }
    if (!id_.empty())
        element->SetAttribute("id", id_.c_str());
    for (DoxAttribute* attribute : attributes_) {
        tinyxml2::XMLElement* child = element->InsertNewChildElement("dox:attrib");
        if (!child || !attribute->SaveXml(child, full))
            return false;
    }
    return true;
}

bool DoxAttribSet::AcceptChange(bool changing)
{
    return IsRoot() ? true : owner_->AcceptChange(changing);
}

void DoxAttribSet::AddAttribute(DoxAttribute* attribute)
{
    attributes_.push_back(attribute);
    attribute->SetOwner(this);
}

DoxAttribute* DoxAttribSet::FindByKind(int32_t kindId) const
{
    for (DoxAttribute* attribute : attributes_) {
        if (attribute->GetKindId() == kindId)
            return attribute;
    }
    return nullptr;
}

void DoxAttribSet::RefreshAll(DoxAttribSet* set, bool upward)
{
    if (!set || (!set->IsRoot() && !upward))
        return;
    while (!set->IsRoot())
        set = set->owner_;
    for (DoxAttribute* attribute : set->attributes_)
        attribute->Refresh();
}
