#pragma once
// Memory streams of pictures: StreamPlus is a growable block with a position,
// BufferPlus takes a stream's bytes as one contiguous block.

#include "VududiruraApi.h"

#include <QByteArray>

#include <cstdint>

class VUDU_API StreamPlus
{
public:
    // A stream holding a copy of the bytes (none when null), positioned at the start.
    StreamPlus(const void* bytes = nullptr, int64_t size = 0, int flags = 0);

    // Writes at the position, growing the block; the count written.
    int64_t Write(const void* data, int64_t size);
    // Reads from the position; the count read.
    int64_t Read(void* data, int64_t size);
    void Rewind() { position_ = 0; }
    int64_t Size() const { return bytes_.size(); }
    const QByteArray& Bytes() const { return bytes_; }
    // Replaces the whole block (position at the start).
    void SetBytes(const QByteArray& bytes);

private:
    QByteArray bytes_;
    int64_t position_ = 0;
};

class VUDU_API BufferPlus
{
public:
    // Takes the stream's whole block; false for an empty one.
    bool Open(const StreamPlus& stream);
    const unsigned char* GetData() const { return reinterpret_cast<const unsigned char*>(bytes_.constData()); }
    int64_t GetSize() const { return bytes_.size(); }

private:
    QByteArray bytes_;
};
