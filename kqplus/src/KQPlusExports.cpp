// libDoxKQPlus.so shows the programs one symbol: the module factory.

#include "KQPlusModule.h"

DOX_EXPORT IDoxPlusIn* CreateModule(int version, intptr_t host)
{
    return kqplus::CreateKQPlusModule(version, host);
}
