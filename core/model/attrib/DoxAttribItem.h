#pragma once
// One value of an attribute group ("x", "fgcolor", ...). Every edit goes through the
// change chain: the item stores the new value, asks its group (and through it the
// set and the control) to accept it, and puts the old value back on a refusal.

#include <cstdint>
#include <string>

#include "DoxAttribBase.h"
#include "DoxAttribCollection.h"

class DoxAttribute;
class DoxAttribOptions;

class DoxAttribItem : public DoxAttribBase
{
public:
    DoxAttribItem(const char* key, const wchar_t* caption, uint32_t type, bool fullSaveOnly);
    ~DoxAttribItem() override;

    // From the options; 0 and the empty text without options.
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;

    const char* GetXmlTag() const override;
    // Reads "value" without the change chain; the value is brought into the item's
    // range (or refused and the current value kept) as SetValueText would.
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool SaveXml(tinyxml2::XMLElement* element, bool full) override;

    virtual void SetParent(DoxAttribute* parent);
    // Number, bool and colour kinds: the value (colours and unsigned values as their
    // bits). String kinds keep text and answer 0 here.
    virtual int32_t GetValue();
    virtual bool SetValue(int32_t value);

    DoxAttribute* GetParent() const { return parent_; }
    DoxAttribOptions* GetOptions() const { return options_; }
    bool IsChanging() const { return changing_ != 0; }
    bool IsPersisted() const { return persisted_ != 0; }
    void SetPersisted(bool on) { persisted_ = on ? 1 : 0; }
    bool IsFullSaveOnly() const { return fullSaveOnly_ != 0; }
    bool IsShared() const { return shared_ != 0; }
    void SetShared(bool on) { shared_ = on ? 1 : 0; }
    bool IsAlwaysNotify() const { return alwaysNotify_ != 0; }
    void SetAlwaysNotify(bool on) { alwaysNotify_ = on ? 1 : 0; }

    DoxAttribItem_Collection& Collection() { return collection_; }

protected:
    // The "value" text of the XML for the current value.
    virtual std::string GetXmlValue() = 0;
    // Stores a value read from the XML ("value" missing: null) directly.
    virtual void LoadXmlValue(const char* text) = 0;

    // Asks the parent group whether the stored value may stand; the changing flag
    // is set for the duration so that the group knows which item is changing.
    bool AskParent(bool changing);

    // Steps 2 and 3 of the change chain.
    template <class T> bool ApplyChange(T& field, const T& value)
    {
        T old = field;
        field = value;
        if (AskParent(true))
            return true;
        field = old;
        return false;
    }

    DoxAttribOptions* options_ = nullptr;
    DoxAttribute* parent_ = nullptr;
    int32_t changing_ = 0;
    int32_t persisted_ = 1;
    int32_t fullSaveOnly_ = 0;
    int32_t shared_ = 0;
    int32_t alwaysNotify_ = 0;
    DoxAttribItem_Collection collection_{this};
    std::wstring text_; // holds the last returned text
};
