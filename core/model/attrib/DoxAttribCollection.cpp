#include "DoxAttribCollection.h"

#include <cwchar>

#include "DoxAttribItem.h"
#include "DoxAttribSet.h"
#include "DoxAttribText.h"
#include "DoxAttribute.h"

DoxAttribFacade::~DoxAttribFacade() = default;

const wchar_t* DoxAttribFacade::GetCaption()
{
    return L"";
}
const wchar_t* DoxAttribFacade::GetDescription()
{
    return L"";
}
uint32_t DoxAttribFacade::GetType()
{
    return 0;
}
const wchar_t* DoxAttribFacade::GetDefaultText()
{
    return L"";
}
const wchar_t* DoxAttribFacade::GetValueText()
{
    return L"";
}
bool DoxAttribFacade::SetValueText(const wchar_t*)
{
    return false;
}
const wchar_t* DoxAttribFacade::GetErrorText()
{
    return L"";
}
int32_t DoxAttribFacade::GetElementCount()
{
    return 0;
}
IDoxAttribSet* DoxAttribFacade::GetElement(int32_t)
{
    return nullptr;
}
bool DoxAttribFacade::AddElement()
{
    return false;
}
void DoxAttribFacade::RemoveElement(int32_t) {}
bool DoxAttribFacade::MoveElement(int32_t, bool)
{
    return false;
}
int32_t DoxAttribFacade::GetOptionCount()
{
    return 0;
}
const wchar_t* DoxAttribFacade::GetOptionText(int32_t)
{
    return nullptr;
}
int32_t DoxAttribFacade::GetChildCount()
{
    return 0;
}
IDoxAttrib* DoxAttribFacade::GetChild(int32_t)
{
    return nullptr;
}
void DoxAttribFacade::Destroy(uint32_t) {}

// --- one item across the selection ---

DoxAttribItem_Collection::DoxAttribItem_Collection(DoxAttribItem* owner) : owner_(owner) {}

DoxAttribItem* DoxAttribItem_Collection::First() const
{
    return items_.empty() ? owner_ : items_.front();
}

const wchar_t* DoxAttribItem_Collection::GetCaption()
{
    return First()->GetCaption();
}
const wchar_t* DoxAttribItem_Collection::GetDescription()
{
    return First()->GetDescription();
}
uint32_t DoxAttribItem_Collection::GetType()
{
    return First()->GetType();
}
const wchar_t* DoxAttribItem_Collection::GetDefaultText()
{
    return First()->GetDefaultText();
}
int32_t DoxAttribItem_Collection::GetOptionCount()
{
    return First()->GetOptionCount();
}
const wchar_t* DoxAttribItem_Collection::GetOptionText(int32_t i)
{
    return First()->GetOptionText(i);
}

const wchar_t* DoxAttribItem_Collection::GetValueText()
{
    DoxAttribItem* first = First();
    text_ = first->GetValueText();
    for (DoxAttribItem* item : items_) {
        if (item != first && text_ != item->GetValueText())
            return L"";
    }
    return first->GetValueText();
}

bool DoxAttribItem_Collection::SetValueText(const wchar_t* text)
{
    DoxChangeBatch batch;
    refused_ = nullptr;
    for (DoxAttribItem* item : items_) {
        if (!item->SetValueText(text)) {
            refused_ = item;
            return false;
        }
    }
    return true;
}

const wchar_t* DoxAttribItem_Collection::GetErrorText()
{
    return (refused_ ? refused_ : First())->GetErrorText();
}

void DoxAttribItem_Collection::Reset()
{
    items_.clear();
    items_.push_back(owner_);
    refused_ = nullptr;
}

void DoxAttribItem_Collection::Append(DoxAttribItem* item)
{
    items_.push_back(item);
}

// --- one attribute class across the selection ---

DoxAttribute_Collection::DoxAttribute_Collection(DoxAttribute* owner) : owner_(owner) {}

const wchar_t* DoxAttribute_Collection::GetCaption()
{
    return owner_->GetCaption();
}
const wchar_t* DoxAttribute_Collection::GetDescription()
{
    return owner_->GetDescription();
}
uint32_t DoxAttribute_Collection::GetType()
{
    return owner_->GetType();
}
const wchar_t* DoxAttribute_Collection::GetErrorText()
{
    return owner_->GetErrorText();
}

int32_t DoxAttribute_Collection::GetChildCount()
{
    return static_cast<int32_t>(items_.size());
}

IDoxAttrib* DoxAttribute_Collection::GetChild(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= items_.size())
        return nullptr;
    return items_[static_cast<size_t>(i)];
}

bool DoxAttribute_Collection::Reset()
{
    items_.clear();
    for (DoxAttribItem* item : owner_->Items()) {
        if (!item->IsShared())
            continue;
        item->Collection().Reset();
        items_.push_back(&item->Collection());
    }
    return !items_.empty();
}

bool DoxAttribute_Collection::Merge(DoxAttribute* other)
{
    std::vector<DoxAttribItem_Collection*> kept;
    for (DoxAttribItem_Collection* facade : items_) {
        const std::string& key = facade->First()->GetKey();
        DoxAttribItem* match = nullptr;
        for (DoxAttribItem* item : other->Items()) {
            if (item->GetKey() == key) {
                match = item;
                break;
            }
        }
        if (match) {
            facade->Append(match);
            kept.push_back(facade);
        }
    }
    items_.swap(kept);
    return !items_.empty();
}

// --- the selection as one attribute set ---

DoxAttribSet_Collection::DoxAttribSet_Collection() : name_(L"无控件") {}

DoxAttribSet_Collection::~DoxAttribSet_Collection() = default;

const wchar_t* DoxAttribSet_Collection::GetName()
{
    return name_.c_str();
}

int32_t DoxAttribSet_Collection::GetCount()
{
    return static_cast<int32_t>(attributes_.size());
}

IDoxAttrib* DoxAttribSet_Collection::GetAt(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= attributes_.size())
        return nullptr;
    return attributes_[static_cast<size_t>(i)];
}

void DoxAttribSet_Collection::Destroy(uint32_t flags)
{
    if (flags & 1)
        delete this;
    else
        this->~DoxAttribSet_Collection();
}

void DoxAttribSet_Collection::Begin(DoxAttribSet* set)
{
    attributes_.clear();
    objects_ = 0;
    if (!set)
        return;
    for (DoxAttribute* attribute : set->Attributes()) {
        if (attribute->Collection().Reset())
            attributes_.push_back(&attribute->Collection());
    }
    objects_ = 1;
}

void DoxAttribSet_Collection::Intersect(DoxAttribSet* set)
{
    if (!set)
        return;
    std::vector<DoxAttribute_Collection*> kept;
    for (DoxAttribute_Collection* facade : attributes_) {
        DoxAttribute* other = set->FindByKind(facade->Owner()->GetKindId());
        if (other && facade->Merge(other))
            kept.push_back(facade);
    }
    attributes_.swap(kept);
    ++objects_;
}

void DoxAttribSet_Collection::UpdateName()
{
    name_ = objects_ < 1 ? std::wstring(L"无控件") : doxattrib::Format(L"多个控件(%d)", objects_);
}

// --- change reports held while an item is set across the selection ---

namespace
{

struct PendingReports {
    int depth = 0;
    std::vector<std::pair<const void*, std::function<void()>>> reports;
};

PendingReports& Pending()
{
    thread_local PendingReports pending;
    return pending;
}

} // namespace

DoxChangeBatch::DoxChangeBatch()
{
    ++Pending().depth;
}

DoxChangeBatch::~DoxChangeBatch()
{
    PendingReports& pending = Pending();
    if (--pending.depth > 0)
        return;
    std::vector<std::pair<const void*, std::function<void()>>> reports;
    reports.swap(pending.reports);
    for (auto& [source, report] : reports)
        report();
}

bool DoxChangeBatch::Defer(const void* source, std::function<void()> report)
{
    PendingReports& pending = Pending();
    if (pending.depth <= 0)
        return false;
    for (const auto& entry : pending.reports) {
        if (entry.first == source)
            return true;
    }
    pending.reports.emplace_back(source, std::move(report));
    return true;
}
