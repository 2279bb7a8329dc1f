#include "DoxImageData.h"

#include <cstdlib>
#include <cstring>

DoxImageData::~DoxImageData()
{
    Release();
}

void DoxImageData::Release()
{
    std::free(bytes_);
    bytes_ = nullptr;
    size_ = 0;
}

bool DoxImageData::Assign(const void* bytes, uint32_t size)
{
    Release();
    if (!bytes || size == 0)
        return true;
    bytes_ = static_cast<uint8_t*>(std::malloc(size));
    if (!bytes_)
        return false;
    std::memcpy(bytes_, bytes, size);
    size_ = size;
    return true;
}
