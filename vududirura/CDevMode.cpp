#include "CDevMode.h"

#include <new>

DEVMODEW* CDevMode::Create(size_t size)
{
    Free();
    if (size < sizeof(DEVMODEW) || size > 65536) return nullptr;
    buffer_.reset(new (std::nothrow) unsigned char[size]());
    if (!buffer_) return nullptr;
    devMode_ = new (buffer_.get()) DEVMODEW();
    devMode_->dmDriverExtra = static_cast<uint16_t>(size - sizeof(DEVMODEW));
    size_ = size;
    return devMode_;
}

void CDevMode::Free()
{
    devMode_ = nullptr;
    buffer_.reset();
    size_ = 0;
}
