#pragma once
// The "base" group every control has first: position, size, fill-in order and lock,
// followed by the single items the control's kind appends. Position and size are in
// 0.1 mm with y growing upward; the stored y is the negated distance from the page
// top.

#include <cstdint>

#include "DoxAttribItemBool.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribute.h"

// What the basic attribute needs of the layer that holds its control: the size of
// the page, in 0.1 mm.
class DoxPageExtent
{
public:
    // False when the layer is on no page yet.
    virtual bool GetPageExtent(int32_t& width, int32_t& height) const = 0;

protected:
    ~DoxPageExtent() = default;
};

class DoxBasicAttribute : public DoxAttribute
{
public:
    DoxBasicAttribute();

    int32_t GetKindId() const override;
    // Refuses a position or size that leaves the page ("超出有效范围"), then forwards.
    bool AcceptChange(bool changing) override;
    // Brings a loaded rectangle onto the page, as far as edits could have placed it.
    void OnLoaded() override;

    // The layer through which the page size is read; null: no page test.
    void SetParentLayer(const DoxPageExtent* layer) { layer_ = layer; }
    const DoxPageExtent* GetParentLayer() const { return layer_; }

    // x <= px <= x + cx and y - cy <= py <= y, edges included (page coordinates).
    bool ContainsPoint(int32_t px, int32_t py) const;

    // Stores a rectangle directly (the control's create function): x, y (page
    // coordinates, y up), width and height.
    void StoreRect(int32_t x, int32_t y, int32_t width, int32_t height);

    int32_t GetX() const { return x_.GetShownValue(); }
    int32_t GetY() const { return -y_.GetShownValue(); }
    int32_t GetWidth() const;
    int32_t GetHeight() const;

    DoxAttribItemPos& XItem() { return x_; }
    DoxAttribItemPos& YItem() { return y_; }
    DoxAttribItemSize& WidthItem() { return cx_; }
    DoxAttribItemSize& HeightItem() { return cy_; }
    DoxAttribItemInt& OrderItem() { return order_; }
    DoxAttribItemBool& LockItem() { return lock_; }

private:
    DoxAttribItemPos x_;
    DoxAttribItemPos y_;
    DoxAttribItemSize cx_;
    DoxAttribItemSize cy_;
    DoxAttribItemInt order_;
    DoxAttribItemBool lock_;
    const DoxPageExtent* layer_ = nullptr;
};

// A rectangle with its orientation; 1 means its top and bottom already grow
// downward.
struct DoxOrientedRect {
    int32_t orientation = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Writes the rectangle into any record with left, top, right and bottom (a RECT),
// negating top and bottom unless the orientation is 1.
template <class Rect> void OrientRect(const DoxOrientedRect& in, Rect& out)
{
    out.left = in.left;
    out.right = in.right;
    out.top = in.orientation == 1 ? in.top : -in.top;
    out.bottom = in.orientation == 1 ? in.bottom : -in.bottom;
}
