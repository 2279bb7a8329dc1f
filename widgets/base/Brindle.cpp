#include "Brindle.h"

#include "MyGdiX.h"
#include "SystemColors.h"
#include "WindowClass.h"

namespace
{

// Registers the class unless the table already holds one of that name.
bool RegisterOnce(const plat::WindowClass& windowClass)
{
    if (!plat::FindWindowClass(windowClass.name))
        plat::RegisterWindowClass(windowClass);
    return plat::FindWindowClass(windowClass.name).has_value();
}

} // namespace

int Brindle::Initialize(void* /*instance*/)
{
    plat::WindowClass windowClass;
    windowClass.name = kBrindleClass;
    windowClass.style = plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDblClks;
    windowClass.background = 0;
    windowClass.cursor = plat::ClassCursor::Arrow;
    if (!RegisterOnce(windowClass))
        return 0;

    plat::WindowClass shadowClass;
    shadowClass.name = kBrindleShadowClass;
    shadowClass.style = plat::kClassSaveBits;
    shadowClass.background = COLOR_BTNFACE + 1;
    shadowClass.cursor = plat::ClassCursor::Arrow;
    if (!RegisterOnce(shadowClass))
        return 0;

    MyGdiX::Initialize();
    return 1;
}

void Brindle::Finalize()
{
    MyGdiX::Finalize();
}
