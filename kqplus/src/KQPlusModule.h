#pragma once
// The plug-in's module object: one per process, made by CreateModule.

#include "IDoxPlusIn.h"

namespace kqplus
{

class CDoxKQPlusIn final : public InterfaceImpl<IDoxPlusIn>
{
public:
    CDoxKQPlusIn() = default;
    // Clears the singleton, so a CreateModule after the final Release makes a new
    // object instead of handing out the freed one.
    ~CDoxKQPlusIn() override;

    int Init(intptr_t host) override;
    int Configure(IDoxPage* page) override;
    int Compute(IDoxPage* page) override;
    int IsConfigured(IDoxPage* page) override;
    int CheckBeforePrint(IDoxPage* page) override;

    static CDoxKQPlusIn* Instance();

private:
    intptr_t host_ = 0;
};

// CreateModule's work: the existing object unchanged (whatever the version), else
// for version 200 a new, started one; null otherwise.
IDoxPlusIn* CreateKQPlusModule(int version, intptr_t host);

constexpr int kPlusInVersion = 200;

} // namespace kqplus
