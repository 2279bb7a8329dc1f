#pragma once
// The attribute list of one control, column or row. A set made without an owner is
// its own owner: a root set (a control's). Column and row sets have the control's
// set as owner, so their changes reach the control.

#include <cstdint>
#include <string>
#include <vector>

#include "IDoxAttrib.h"

namespace tinyxml2
{
class XMLElement;
}

class DoxAttribute;

class DoxAttribSet : public IDoxAttribSet
{
public:
    explicit DoxAttribSet(DoxAttribSet* owner = nullptr);
    virtual ~DoxAttribSet();
    DoxAttribSet(const DoxAttribSet&) = delete;
    DoxAttribSet& operator=(const DoxAttribSet&) = delete;

    // IDoxAttribSet
    const wchar_t* GetName() override;
    int32_t GetCount() override;
    // Null when i is out of range.
    IDoxAttrib* GetAt(int32_t i) override;
    void Destroy(uint32_t flags) override;

    virtual const char* GetXmlTag() const;
    // False when the element is not this set's, or an attribute refuses its child.
    virtual bool LoadXml(const tinyxml2::XMLElement* element);
    // full is false for a copy (clipboard, duplicate), which leaves out the items
    // only the template file keeps.
    virtual bool SaveXml(tinyxml2::XMLElement* element, bool full);
    // A root accepts; any other set asks its owner.
    virtual bool AcceptChange(bool changing);

    // Appends an attribute and makes this set its owner.
    void AddAttribute(DoxAttribute* attribute);
    const std::vector<DoxAttribute*>& Attributes() const { return attributes_; }
    // The first attribute of the given kind id, or null.
    DoxAttribute* FindByKind(int32_t kindId) const;

    DoxAttribSet* GetOwner() const { return owner_; }
    bool IsRoot() const { return owner_ == this; }
    void SetName(const std::wstring& name) { name_ = name; }
    const std::string& GetId() const { return id_; }
    void SetId(const std::string& id) { id_ = id; }

    // Refreshes every attribute of the root above set. A set that is not a root is
    // skipped unless upward is true.
    static void RefreshAll(DoxAttribSet* set, bool upward);

private:
    std::vector<DoxAttribute*> attributes_;
    DoxAttribSet* owner_;
    std::wstring name_;
    std::string id_;
};
