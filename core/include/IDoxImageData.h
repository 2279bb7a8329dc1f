#pragma once
// A block of bytes handed out by the core (a template icon, a preview, a stored
// element seen as a picture). No reference counting: Release frees the bytes, not
// the object, which lives as long as its owner.

#include <cstdint>

class IDoxImageData
{
public:
    // The bytes, or null when there are none (or they cannot be loaded).
    virtual const uint8_t* GetData() = 0;
    virtual uint32_t GetSize() = 0;
    // Frees the bytes; the object stays.
    virtual void Release() = 0;

protected:
    ~IDoxImageData() = default;
};
