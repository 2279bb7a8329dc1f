#include "Heap.h"

#include <cstdlib> // defines __GLIBC__ on glibc
#include <algorithm>
#include <functional>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plat
{

void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Every printed page takes and frees the same large buffers: Qt's PDF engine reads
    // the page's content into one large buffer and compresses it with a fresh
    // compressor of some 300 KB. With glibc's start-up thresholds the top of the heap
    // went back to the system after every page and was taken again for the next, a
    // few system calls and a page fault for every 4 KB touched, page after page.
    // These are the thresholds glibc moves to by itself once it has seen a large block
    // freed: blocks of up to 32 MiB come from the heap, and the heap keeps up to twice
    // that free at its top.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

namespace
{

// Keeps the compiler from folding an allocation and its free into nothing.
void Touch(void* block)
{
    if (block)
        *static_cast<volatile char*>(block) = 0;
}

} // namespace

void HeapReserve::Hold(std::size_t bytes)
{
    Release();
    // Blocks under glibc's smallest mmap threshold (128 KiB), so they come from the
    // heap itself and not from mappings of their own that would go back on free.
    constexpr std::size_t kBlock = 120 * 1024;
    std::vector<void*> blocks;
    blocks.reserve(bytes / kBlock + 1);
    for (std::size_t held = 0; held < bytes; held += kBlock) {
        void* block = std::malloc(kBlock);
        if (!block)
            break;
        Touch(block);
        blocks.push_back(block);
    }
    if (blocks.empty())
        return;
    // The highest block stays: it keeps the rest, freed below it, off the heap's top.
    // (A small block of its own could come from freed room further down.)
    const auto highest = std::max_element(blocks.begin(), blocks.end(), std::less<void*>());
    fence_ = *highest;
    blocks.erase(highest);
    for (void* block : blocks)
        std::free(block);
}

void HeapReserve::Release()
{
    std::free(fence_);
    fence_ = nullptr;
}

} // namespace plat
