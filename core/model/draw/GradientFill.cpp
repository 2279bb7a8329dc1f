#include "GradientFill.h"

#include "Capabilities.h"

void FillGradientRect(CDC* dc, const RECT& rect, COLORREF first, COLORREF second, int horizontal)
{
    if (!dc)
        return;
    if (!plat::GetCapabilities().gradientFill) {
        dc->FillSolidRect(rect, first);
        return;
    }
    dc->GradientFillRect(POINT{rect.left, rect.top}, first, POINT{rect.right, rect.bottom}, second,
                         horizontal == 0 ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}
