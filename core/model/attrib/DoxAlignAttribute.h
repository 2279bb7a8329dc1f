#pragma once
// The "alignment" group: horizontal and vertical alignment of a control's text, as
// text-drawing flags that the painters combine.

#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"
#include "DoxAttribute.h"

class DoxAlignAttribute : public DoxAttribute
{
public:
    DoxAlignAttribute();

    int32_t GetKindId() const override;

    // 0 left, 1 centre, 2 right.
    uint32_t GetHAlign() const { return align_.GetUValue(); }
    // 0 top, 36 centre, 40 bottom (single-line flags).
    uint32_t GetVAlign() const { return valign_.GetUValue(); }
    DoxAttribItemUint& HAlignItem() { return align_; }
    DoxAttribItemUint& VAlignItem() { return valign_; }

private:
    // The option lists come first: the items point at them.
    DoxAttribOptionsHAlign hAlignOptions_;
    DoxAttribOptionsVAlign vAlignOptions_;

    class ChoiceItem : public DoxAttribItemUint
    {
    public:
        ChoiceItem(const char* key, const wchar_t* caption, uint32_t initial, DoxAttribOptions* options);
    };
    ChoiceItem align_;
    ChoiceItem valign_;
};
