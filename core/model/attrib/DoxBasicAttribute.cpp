#include "DoxBasicAttribute.h"

#include <algorithm>

#include "DoxAttribKinds.h"

DoxBasicAttribute::DoxBasicAttribute()
    : DoxAttribute("base", L"基本"), x_("x", L"x", true), y_("y", L"y", false), cx_("cx", L"cx"),
      cy_("cy", L"cy"), order_("order", L"顺序", -1, true), lock_("lock", L"锁定", false)
{
    order_.SetType(DOX_ATTRIB_KIND_TEXT | DOX_ATTRIB_READONLY);
    lock_.SetShared(true);
    AddItem(&x_);
    AddItem(&y_);
    AddItem(&cx_);
    AddItem(&cy_);
    AddItem(&order_);
    AddItem(&lock_);
}

int32_t DoxBasicAttribute::GetKindId() const
{
    return DoxAttribKindId::Basic;
}

int32_t DoxBasicAttribute::GetWidth() const
{
    return cx_.GetStoredValue();
}

int32_t DoxBasicAttribute::GetHeight() const
{
    return cy_.GetStoredValue();
}

bool DoxBasicAttribute::AcceptChange(bool changing)
{
    int32_t pageWidth = 0;
    int32_t pageHeight = 0;
    DoxAttribItem* item = changing ? GetChangingItem() : nullptr;
    if (item && layer_ && layer_->GetPageExtent(pageWidth, pageHeight)) {
        int64_t x = GetX();
        int64_t d = y_.GetShownValue();
        int64_t cx = GetWidth();
        int64_t cy = GetHeight();
        bool refused = (item == &x_ && x >= pageWidth) || (item == &y_ && d >= pageHeight) ||
                       (item == &cx_ && x + cx > pageWidth) || (item == &cy_ && d + cy > pageHeight);
        if (refused) {
            // The grid shows this text; without it the message of an older edit
            // would stand.
            item->SetErrorText(L"超出有效范围");
            return false;
        }
    }
    return DoxAttribute::AcceptChange(changing);
}

void DoxBasicAttribute::OnLoaded()
{
    int32_t pageWidth = 0;
    int32_t pageHeight = 0;
    if (!layer_ || !layer_->GetPageExtent(pageWidth, pageHeight) || pageWidth < 1 || pageHeight < 1)
        return;
    // Only what no edit can reach is changed: an edit may leave a control reaching
    // past the page edge, but never starting outside the page or larger than it.
    x_.StoreValue(std::min(GetX(), pageWidth - 1));
    y_.StoreValue(-std::min(y_.GetShownValue(), pageHeight - 1));
    cx_.StoreValue(std::min(GetWidth(), pageWidth));
    cy_.StoreValue(std::min(GetHeight(), pageHeight));
}

bool DoxBasicAttribute::ContainsPoint(int32_t px, int32_t py) const
{
    int64_t x = GetX();
    int64_t y = GetY();
    return x <= px && px <= x + GetWidth() && y - GetHeight() <= py && py <= y;
}

void DoxBasicAttribute::StoreRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    x_.StoreValue(x);
    y_.StoreValue(y);
    cx_.StoreValue(width);
    cy_.StoreValue(height);
}
