#pragma once
// A group of items ("base", "alignment", ...): one entry of an attribute set, written
// as one "dox:attrib" element, shown as one section of the property grid.

#include <cstdint>
#include <vector>

#include "DoxAttribBase.h"
#include "DoxAttribCollection.h"

class DoxAttribItem;
class DoxAttribSet;

class DoxAttribute : public DoxAttribBase
{
public:
    DoxAttribute(const char* key, const wchar_t* caption);
    ~DoxAttribute() override;

    // The items; null when i is out of range.
    int32_t GetChildCount() override;
    IDoxAttrib* GetChild(int32_t i) override;

    const char* GetXmlTag() const override;
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool SaveXml(tinyxml2::XMLElement* element, bool full) override;
    // Refreshes each item in order.
    void Refresh() override;

    // The class's id from the start-up registration; attributes of different
    // controls merge in a multiple selection when their ids are equal.
    virtual int32_t GetKindId() const = 0;
    // Accepts or refuses the value that a changing item has just stored. The default
    // forwards to the owner set (true without one).
    virtual bool AcceptChange(bool changing);
    // Called after the items were loaded from XML.
    virtual void OnLoaded();

    // Appends an item and makes this group its parent.
    void AddItem(DoxAttribItem* item);
    const std::vector<DoxAttribItem*>& Items() const { return items_; }
    // The first item whose changing flag is set, or null.
    DoxAttribItem* GetChangingItem() const;

    DoxAttribSet* GetOwner() const { return owner_; }
    void SetOwner(DoxAttribSet* owner) { owner_ = owner; }
    // Refreshes the root set above the owner set (for groups whose change alters
    // what other attributes show).
    void RefreshOwnerSet();

    DoxAttribute_Collection& Collection() { return collection_; }

private:
    std::vector<DoxAttribItem*> items_;
    DoxAttribSet* owner_ = nullptr;
    DoxAttribute_Collection collection_{this};
};
