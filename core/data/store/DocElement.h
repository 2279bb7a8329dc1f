#pragma once
// One named element of a store: its id, the size, CRC-32 and location of its
// bytes in the owning store, and the bytes themselves while loaded. Bytes are
// read on demand and dropped again after every successful write, so a saved
// store keeps only the elements changed in memory ("dirty") loaded.

#include "IDoxDocElement.h"
#include "IDoxImageData.h"

#include <cstdint>
#include <string>

namespace plat
{
class ByteStream;
}
class DocContainer;

class DocElement final : public IDoxDocElement, public IDoxImageData
{
public:
    DocElement(const DocElement&) = delete;
    DocElement& operator=(const DocElement&) = delete;

    // IDoxDocElement (GetData and GetSize also serve IDoxImageData)
    const wchar_t* GetId() override { return id_.c_str(); }
    int SetId(const wchar_t* id) override;
    uint32_t GetSize() override { return size_; }
    const uint8_t* GetData() override;
    int SetData(const void* bytes, uint32_t size) override;
    void ReleaseData() override;
    void Remove() override;
    int SaveContainer() override;

    // IDoxImageData: frees the loaded bytes; the element stays.
    void Release() override { ReleaseData(); }

    // Takes every byte of the stream, whatever its position.
    int SetDataFromStream(const plat::ByteStream& stream);
    // Writes all bytes from the stream's start; 1 only when all were written.
    int SaveToStream(plat::ByteStream& stream);
    // Reads the bytes through the owner; the element stays unloaded on failure.
    int LoadData();
    void FreeData() { ReleaseData(); }
    // Records where a write into a store put the bytes: offset or row id, CRC and
    // size in the owner (which also makes the element clean), or the location in
    // the second store. A clean element then drops its bytes.
    void SetLocation(DocContainer* container, uint32_t location, uint32_t crc, uint32_t size);
    // Makes the buffer hold at least n bytes (a new block of exactly n bytes
    // replaces a smaller one; its bytes are not kept).
    bool GrowBuffer(uint32_t n);

    const std::wstring& Id() const { return id_; }
    uint32_t Crc() const { return crc_; }
    uint32_t Size() const { return size_; }
    uint32_t Location() const { return location_; }
    uint32_t SecondLocation() const { return secondLocation_; }
    // The location in a given store: the own one for the owner, else the one in
    // the second store.
    uint32_t LocationIn(const DocContainer* container) const
    {
        return container == owner_ ? location_ : secondLocation_;
    }
    uint8_t* Buffer() const { return buffer_; }
    uint32_t Capacity() const { return capacity_; }
    DocContainer* Owner() const { return owner_; }
    DocContainer* SecondContainer() const { return second_; }
    bool IsLoaded() const { return loaded_; }
    bool IsDirty() const { return dirty_; }

private:
    friend class DocContainer;
    DocElement(DocContainer* owner, const wchar_t* id);
    // Leaves the attached list of a second store, so no store keeps a pointer to
    // a destroyed element.
    ~DocElement();

    void FreeBuffer();

    std::wstring id_;
    uint32_t crc_ = 0;
    uint32_t size_ = 0;
    uint32_t location_ = 0;
    uint32_t secondLocation_ = 0;
    uint8_t* buffer_ = nullptr; // C heap
    uint32_t capacity_ = 0;
    DocElement* ownNext_ = nullptr;
    DocElement* ownPrev_ = nullptr;
    DocElement* attachedNext_ = nullptr;
    DocElement* attachedPrev_ = nullptr;
    DocContainer* owner_ = nullptr;
    DocContainer* second_ = nullptr;
    bool loaded_ = false;
    bool dirty_ = false;
};
