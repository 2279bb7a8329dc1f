#include "Capabilities.h"

namespace plat
{

Capabilities& GetCapabilities()
{
    static Capabilities caps;
    return caps;
}

void BindOptionalEntryPoints()
{
    Capabilities& caps = GetCapabilities();
    caps.alphaBlend = true;
    caps.gradientFill = true;
    caps.updateLayeredWindow = true;
    caps.setLayeredWindowAttributes = true;
}

void UnbindOptionalEntryPoints()
{
    GetCapabilities() = Capabilities{};
}

} // namespace plat
