#include "Heap.h"

#include <cstddef> // defines __GLIBC__ on glibc

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

} // namespace plat
