#pragma once
// Facades that show what several selected controls have in common through the
// ordinary attribute interfaces: one over the attribute sets, one per attribute
// class, one per item. They link the attributes and items of the selected
// controls and own none of them; the selection rebuilds them at every change.

#include <functional>
#include <string>
#include <vector>

#include "IDoxAttrib.h"

class DoxAttribItem;
class DoxAttribute;
class DoxAttribSet;

// Answers every IDoxAttrib operation with the empty default: empty texts, 0, false,
// null. Facades are members of their attribute or item, so Destroy does nothing.
class DoxAttribFacade : public IDoxAttrib
{
public:
    DoxAttribFacade() = default;
    virtual ~DoxAttribFacade();
    DoxAttribFacade(const DoxAttribFacade&) = delete;
    DoxAttribFacade& operator=(const DoxAttribFacade&) = delete;

    const wchar_t* GetCaption() override;
    const wchar_t* GetDescription() override;
    uint32_t GetType() override;
    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    const wchar_t* GetErrorText() override;
    int32_t GetElementCount() override;
    IDoxAttribSet* GetElement(int32_t i) override;
    bool AddElement() override;
    void RemoveElement(int32_t i) override;
    bool MoveElement(int32_t i, bool up) override;
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;
    int32_t GetChildCount() override;
    IDoxAttrib* GetChild(int32_t i) override;
    void Destroy(uint32_t flags) override;
};

// One item across the selection: the first entry is the item that embeds it.
class DoxAttribItem_Collection : public DoxAttribFacade
{
public:
    explicit DoxAttribItem_Collection(DoxAttribItem* owner);

    const wchar_t* GetCaption() override;
    const wchar_t* GetDescription() override;
    uint32_t GetType() override;
    const wchar_t* GetDefaultText() override;
    // The common text, or the empty text when the items differ.
    const wchar_t* GetValueText() override;
    // Sets the text on each item in turn and stops at the first refusal.
    bool SetValueText(const wchar_t* text) override;
    // After a refusal, the message of the item that refused.
    const wchar_t* GetErrorText() override;
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;

    // The list holds the owner item alone again.
    void Reset();
    void Append(DoxAttribItem* item);
    DoxAttribItem* First() const;
    const std::vector<DoxAttribItem*>& Items() const { return items_; }

private:
    DoxAttribItem* owner_;
    std::vector<DoxAttribItem*> items_;
    DoxAttribItem* refused_ = nullptr;
    std::wstring text_;
};

// One attribute class across the selection: its shared items that every selected
// control carries.
class DoxAttribute_Collection : public DoxAttribFacade
{
public:
    explicit DoxAttribute_Collection(DoxAttribute* owner);

    const wchar_t* GetCaption() override;
    const wchar_t* GetDescription() override;
    uint32_t GetType() override;
    const wchar_t* GetErrorText() override;
    int32_t GetChildCount() override;
    IDoxAttrib* GetChild(int32_t i) override;

    // Starts over from the owner's shared items; true when there is at least one.
    bool Reset();
    // Keeps the item facades whose key the other attribute also has and adds that
    // attribute's item to them; true when any is left.
    bool Merge(DoxAttribute* other);
    DoxAttribute* Owner() const { return owner_; }

private:
    DoxAttribute* owner_;
    std::vector<DoxAttribItem_Collection*> items_;
};

// The attribute set the property grid sees for a multiple selection.
class DoxAttribSet_Collection : public IDoxAttribSet
{
public:
    DoxAttribSet_Collection();
    virtual ~DoxAttribSet_Collection();
    DoxAttribSet_Collection(const DoxAttribSet_Collection&) = delete;
    DoxAttribSet_Collection& operator=(const DoxAttribSet_Collection&) = delete;

    const wchar_t* GetName() override;
    int32_t GetCount() override;
    IDoxAttrib* GetAt(int32_t i) override;
    void Destroy(uint32_t flags) override;

    // Starts from the set of the first selected object (null: nothing selected).
    void Begin(DoxAttribSet* set);
    // Narrows the result to what a further selected object also carries.
    void Intersect(DoxAttribSet* set);
    void UpdateName();
    int32_t GetObjectCount() const { return objects_; }

private:
    std::vector<DoxAttribute_Collection*> attributes_;
    std::wstring name_;
    int32_t objects_ = 0;
};

// One edit of an item across the selection changes every selected control: while a
// batch lives, a page hands its change report to the batch, and the outermost batch
// gives each page's report once when it ends, instead of once per control.
class DoxChangeBatch
{
public:
    DoxChangeBatch();
    ~DoxChangeBatch();
    DoxChangeBatch(const DoxChangeBatch&) = delete;
    DoxChangeBatch& operator=(const DoxChangeBatch&) = delete;

    // Keeps the report of `source` for the end of the batch (once per source); false,
    // keeping nothing, when no batch is open.
    static bool Defer(const void* source, std::function<void()> report);
};
