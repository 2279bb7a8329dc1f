#include "ByteStream.h"

#include <cstring>

namespace plat
{

int64_t ByteStream::Write(const void* data, int64_t size)
{
    if (!data || size <= 0)
        return 0;
    int64_t end = position_ + size;
    if (end > bytes_.size())
        bytes_.resize(end, '\0');
    std::memcpy(bytes_.data() + position_, data, static_cast<size_t>(size));
    position_ = end;
    return size;
}

int64_t ByteStream::Read(void* data, int64_t size)
{
    if (!data || size <= 0 || position_ >= bytes_.size())
        return 0;
    int64_t n = std::min<int64_t>(size, bytes_.size() - position_);
    std::memcpy(data, bytes_.constData() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

bool ByteStream::Seek(int64_t offset, Origin origin)
{
    int64_t base = origin == Begin ? 0 : origin == Current ? position_ : bytes_.size();
    int64_t target = base + offset;
    if (target < 0)
        return false;
    position_ = target;
    return true;
}

void ByteStream::SetSize(int64_t size)
{
    bytes_.resize(size < 0 ? 0 : size, '\0');
}

} // namespace plat
