#pragma once
// The payment-password plug-in as the programs see it: what CreateModule(200,
// host) of libDoxKQPlus.so returns. The slot order is part of the protocol; keep
// it: AddRef, Release, Init, then the four operations below, then the deleting
// destructor, GetRefCount and FinalRelease that InterfaceImpl appends.
//
// The page handed to every operation is the IDoxPage of the page on screen; the
// plug-in never keeps it beyond the call and adds or drops no references.

#include "DoxCommon.h"

#include <cstdint>

class IDoxPage;

class IDoxPlusIn : public IModuleCommon
{
public:
    // Init(host): the host is kept but never used; non-zero on success.

    // Runs the device configuration dialog for the page; 1 when it ended with OK
    // (the map saved, or deleted), else 0.
    virtual int Configure(IDoxPage* page) = 0;
    // Runs the payment-password computation for the bill on the page; 1 when a
    // password was computed and written into the bill's fields, else 0.
    virtual int Compute(IDoxPage* page) = 0;
    // Non-zero when the page's template carries a field map.
    virtual int IsConfigured(IDoxPage* page) = 0;
    // Asks before printing a bill whose payment-password field holds no computed
    // password (or whose map leads to no such field, which it reports first) and
    // computes it on request; 1 when printing may go on, 0 when it must not (it
    // then says that the bill was not printed).
    virtual int CheckBeforePrint(IDoxPage* page) = 0;

protected:
    ~IDoxPlusIn() = default;
};

// The library's one export: the plug-in object (version 200), or null.
using DoxPlusInCreateModuleFn = IDoxPlusIn* (*)(int version, intptr_t host);
