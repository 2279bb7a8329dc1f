#pragma once
// How the programs' heap keeps the memory it frees, and how a print job keeps the
// memory its pages take over and over without touching the host's heap settings.

#include <cstddef>

namespace plat
{

// Keeps freed memory in the heap for reuse instead of handing the top of the heap
// back to the system as soon as it is free. Both programs call it first thing.
void KeepFreedMemoryForReuse();

// Room in the heap kept for the buffers a run of pages takes and frees again page
// after page (Qt's PDF engine makes a compressor and its read and write buffers for
// every page and frees them at the page's end). Freed at the top of the heap, that
// memory went back to the system after every page and was taken and faulted in again
// for the next one, unless the program had raised glibc's trim threshold. Hold()
// frees a block of the given size below a small block it keeps: the freed room lies
// inside the heap, not at its top, so the heap keeps it, and the pages' buffers come
// from it, already faulted in, page after page. Release() gives it back. The host's
// heap settings are left alone; with another allocator this costs a small block.
class HeapReserve
{
public:
    HeapReserve() = default;
    HeapReserve(const HeapReserve&) = delete;
    HeapReserve& operator=(const HeapReserve&) = delete;
    ~HeapReserve() { Release(); }

    void Hold(std::size_t bytes);
    void Release();
    bool Held() const { return fence_ != nullptr; }

private:
    void* fence_ = nullptr;
};

} // namespace plat
