#include "DoxAlignAttribute.h"

#include "DoxAttribKinds.h"

DoxAlignAttribute::ChoiceItem::ChoiceItem(const char* key, const wchar_t* caption, uint32_t initial,
                                          DoxAttribOptions* options)
    : DoxAttribItemUint(key, caption, initial)
{
    SetType(DOX_ATTRIB_KIND_CHOICE);
    SetOptions(options);
    SetShared(true);
}

DoxAlignAttribute::DoxAlignAttribute()
    : DoxAttribute("alignment", L"对齐方式"), align_("align", L"水平", 0, &hAlignOptions_),
      valign_("valign", L"垂直", 36, &vAlignOptions_)
{
    AddItem(&align_);
    AddItem(&valign_);
}

int32_t DoxAlignAttribute::GetKindId() const
{
    return DoxAttribKindId::Align;
}
