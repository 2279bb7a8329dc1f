#include "DoxPenBrush.h"

bool DoxPenBrush::CreateSelectionFrame()
{
    bool penMade = pen.ExtCreatePen(PS_COSMETIC | PS_ALTERNATE | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1,
                                    RGB(0x40, 0x40, 0x40));
    bool brushMade = brush.CreateHollowBrush();
    return penMade && brushMade;
}
