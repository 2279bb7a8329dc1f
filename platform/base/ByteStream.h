#pragma once
// A growable in-memory byte stream with a read/write position: our stand-in for
// a memory-backed COM stream. The whole block stays reachable through Bytes(),
// whatever the position.

#include <QByteArray>

#include <cstdint>

namespace plat
{

class ByteStream
{
public:
    ByteStream() = default;
    explicit ByteStream(const QByteArray& bytes) : bytes_(bytes) {}

    // Writes at the position, growing the block as needed; the count written.
    int64_t Write(const void* data, int64_t size);
    // Reads up to size bytes from the position; the count read.
    int64_t Read(void* data, int64_t size);

    enum Origin { Begin, Current, End };
    // Moves the position; false (position unchanged) when it would fall before
    // the start. A position past the end is allowed; a write there fills the gap
    // with zeros.
    bool Seek(int64_t offset, Origin origin = Begin);
    int64_t Position() const { return position_; }
    int64_t Size() const { return bytes_.size(); }
    // Sets the size of the block, keeping the position.
    void SetSize(int64_t size);

    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    int64_t position_ = 0;
};

} // namespace plat
