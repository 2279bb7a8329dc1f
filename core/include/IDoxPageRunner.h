#pragma once
// The fill-in run time of one page, as the core hands it across the library
// boundary. The slot order is part of the protocol.

#include "DoxCommon.h"

class CDC;
class IDoxPage;

class IDoxPageRunner : public ICommon
{
public:
    // The attached page, or null.
    virtual IDoxPage* GetPage() = 0;
    // 0 when the runner has a page already, the page is null, has a runner, or
    // refuses.
    virtual int Attach(IDoxPage* page) = 0;
    virtual void Detach() = 0;
    virtual void Destroy(uint32_t flags) = 0;
    virtual int32_t GetRefCount() const = 0;
    virtual void FinalRelease() = 0;
    // Draws every field's content for printing or a picture, shifted by (x, y)
    // (0.1 mm); 1.
    virtual int Render(CDC* dc, int x, int y) = 0;

protected:
    ~IDoxPageRunner() = default;
};
