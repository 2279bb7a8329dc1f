#include "StreamPlus.h"

#include <algorithm>
#include <cstring>

StreamPlus::StreamPlus(const void* bytes, int64_t size, int)
{
    if (bytes && size > 0) bytes_ = QByteArray(static_cast<const char*>(bytes), static_cast<qsizetype>(size));
}

int64_t StreamPlus::Write(const void* data, int64_t size)
{
    if (!data || size <= 0) return 0;
    const int64_t end = position_ + size;
    if (end > bytes_.size()) bytes_.resize(static_cast<qsizetype>(end));
    std::memcpy(bytes_.data() + position_, data, static_cast<size_t>(size));
    position_ = end;
    return size;
}

int64_t StreamPlus::Read(void* data, int64_t size)
{
    const int64_t count = std::clamp<int64_t>(bytes_.size() - position_, 0, std::max<int64_t>(size, 0));
    if (count > 0) std::memcpy(data, bytes_.constData() + position_, static_cast<size_t>(count));
    position_ += count;
    return count;
}

void StreamPlus::SetBytes(const QByteArray& bytes)
{
    bytes_ = bytes;
    position_ = 0;
}

bool BufferPlus::Open(const StreamPlus& stream)
{
    bytes_ = stream.Bytes();
    return !bytes_.isEmpty();
}
