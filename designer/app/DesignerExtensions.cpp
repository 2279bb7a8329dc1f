#include "DesignerExtensions.h"

DesignerExtensions& Extensions()
{
    static DesignerExtensions extensions;
    return extensions;
}
