#include "DocElement.h"

#include "ByteStream.h"
#include "DocContainer.h"

#include <cstdlib>
#include <cstring>

DocElement::DocElement(DocContainer* owner, const wchar_t* id) : id_(id ? id : L""), owner_(owner) {}

DocElement::~DocElement()
{
    if (second_)
        second_->UnlinkAttached(this);
    FreeBuffer();
}

void DocElement::FreeBuffer()
{
    std::free(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
}

int DocElement::SetId(const wchar_t* id)
{
    if (!owner_ || !owner_->IsIdFree(id))
        return 0;
    id_ = id;
    return 1;
}

const uint8_t* DocElement::GetData()
{
    if (!loaded_ && !LoadData())
        return nullptr;
    return buffer_;
}

bool DocElement::GrowBuffer(uint32_t n)
{
    if (n <= capacity_ && (buffer_ || n == 0))
        return true;
    auto* block = static_cast<uint8_t*>(std::malloc(n));
    if (!block)
        return false;
    std::free(buffer_);
    buffer_ = block;
    capacity_ = n;
    return true;
}

int DocElement::SetData(const void* bytes, uint32_t size)
{
    if (!owner_ || owner_->IsReadOnly())
        return 0;
    if (bytes && size) {
        if (size > capacity_ || !buffer_) {
            // Copy before freeing: the bytes may be our own.
            auto* block = static_cast<uint8_t*>(std::malloc(size));
            if (!block)
                return 0;
            std::memcpy(block, bytes, size);
            std::free(buffer_);
            buffer_ = block;
            capacity_ = size;
        } else {
            std::memmove(buffer_, bytes, size);
        }
        size_ = size;
    } else {
        size_ = 0;
    }
    loaded_ = true;
    dirty_ = true;
    owner_->MarkModified();
    return 1;
}

void DocElement::ReleaseData()
{
    if (dirty_)
        return;
    FreeBuffer();
    loaded_ = false;
}

void DocElement::Remove()
{
    DocContainer* owner = owner_;
    if (!owner) {
        delete this;
        return;
    }
    owner->MarkModified();
    owner->RemoveElement(this);
}

int DocElement::SaveContainer()
{
    return owner_ ? owner_->Save() : 0;
}

int DocElement::SetDataFromStream(const plat::ByteStream& stream)
{
    const QByteArray& bytes = stream.Bytes();
    return SetData(bytes.constData(), static_cast<uint32_t>(bytes.size()));
}

int DocElement::SaveToStream(plat::ByteStream& stream)
{
    stream.Seek(0);
    const uint8_t* data = GetData();
    if (!data && size_)
        return 0;
    int64_t written = size_ ? stream.Write(data, size_) : 0;
    return written == static_cast<int64_t>(size_) ? 1 : 0;
}

int DocElement::LoadData()
{
    if (!owner_ || !GrowBuffer(size_))
        return 0;
    if (!owner_->ReadElement(this))
        return 0;
    loaded_ = true;
    return 1;
}

void DocElement::SetLocation(DocContainer* container, uint32_t location, uint32_t crc, uint32_t size)
{
    if (container == owner_) {
        crc_ = crc;
        size_ = size;
        location_ = location;
        dirty_ = false;
    } else {
        secondLocation_ = location;
    }
    if (!dirty_) {
        FreeBuffer();
        loaded_ = false;
    }
}
