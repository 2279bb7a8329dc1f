#pragma once
// Holds the last printer settings (DEVMODE) made for a printer query.

#include "VududiruraApi.h"

#include "DevMode.h"

#include <cstddef>
#include <memory>

class VUDU_API CDevMode
{
public:
    // A zeroed buffer of size bytes holding a DEVMODE with its defaults (dmSize set,
    // the rest driver data), replacing the previous one; null when size is smaller
    // than a DEVMODE or beyond what a printer driver could ask (64 KB).
    DEVMODEW* Create(size_t size);
    DEVMODEW* Get() const { return devMode_; }
    size_t Size() const { return size_; }
    void Free();

private:
    std::unique_ptr<unsigned char[]> buffer_;
    DEVMODEW* devMode_ = nullptr;
    size_t size_ = 0;
};
