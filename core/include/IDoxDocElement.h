#pragma once
// A named element of a document's store. Element pointers carry no reference
// count: they stay valid while the element is in its store and die with Remove,
// the store's Close, a re-read of its directory or the store's destruction.

#include <cstdint>

class IDoxDocElement
{
public:
    virtual const wchar_t* GetId() = 0;
    // Renames the element; 0 when the store already has that id (ignoring case)
    // or the id is empty.
    virtual int SetId(const wchar_t* id) = 0;
    virtual uint32_t GetSize() = 0;
    // Loads the bytes from the store when needed; null when that fails or the
    // element is empty.
    virtual const uint8_t* GetData() = 0;
    // Replaces the bytes (null or 0 empties the element); 0 on a read-only store.
    virtual int SetData(const void* bytes, uint32_t size) = 0;
    // Frees loaded bytes unless they are not yet saved.
    virtual void ReleaseData() = 0;
    // Takes the element out of its store and destroys it.
    virtual void Remove() = 0;
    // Saves the whole store that owns the element.
    virtual int SaveContainer() = 0;

protected:
    ~IDoxDocElement() = default;
};
