#pragma once
// An owned block of picture bytes handed out through IDoxImageData; Release
// frees the bytes and the object stays for the next picture.

#include "IDoxImageData.h"

#include <cstdint>

class DoxImageData final : public IDoxImageData
{
public:
    DoxImageData() = default;
    ~DoxImageData();
    DoxImageData(const DoxImageData&) = delete;
    DoxImageData& operator=(const DoxImageData&) = delete;

    const uint8_t* GetData() override { return bytes_; }
    uint32_t GetSize() override { return size_; }
    void Release() override;

    // Replaces the bytes with a copy; false (and empty) when memory is short.
    bool Assign(const void* bytes, uint32_t size);

private:
    uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
};
