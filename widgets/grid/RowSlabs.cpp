#include "RowSlabs.h"

#include "MyGridCtrl.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define DOX_POISON(at, size) ASAN_POISON_MEMORY_REGION(at, size)
#define DOX_UNPOISON(at, size) ASAN_UNPOISON_MEMORY_REGION(at, size)
#else
#define DOX_POISON(at, size) ((void)(at), (void)(size))
#define DOX_UNPOISON(at, size) ((void)(at), (void)(size))
#endif

namespace brindle
{
namespace
{

constexpr size_t kSlot = sizeof(MyGridItem);
// A slab is aligned to its size, so a row finds its slab from its own address.
constexpr size_t kSlabBytes = 64 * 1024;

struct Slab {
    size_t live = 0;
    // Slots handed out from the slab's fresh end, and the ones given back since.
    size_t bumped = 0;
    void* free = nullptr;
    // On the list of slabs with room that are not the one rows are taken from.
    bool listed = false;
};

// The slots start on a cache line: a row is one line, and a row that straddled two
// (behind a header of half a line) cost a find two fetches from memory for each row.
constexpr size_t kLine = 64;
constexpr size_t kFirst = (sizeof(Slab) + kLine - 1) / kLine * kLine;
static_assert(kLine % kSlot == 0, "a row never straddles two lines (a find fetches one line a row)");
constexpr size_t kSlots = (kSlabBytes - kFirst) / kSlot;
static_assert(kSlots > 0);

char* SlotAt(Slab* slab, size_t index)
{
    return reinterpret_cast<char*>(slab) + kFirst + index * kSlot;
}

Slab* SlabOf(void* slot)
{
    return reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(slot) & ~(uintptr_t{kSlabBytes} - 1));
}

bool HasRoom(const Slab* slab)
{
    return slab->free || slab->bumped < kSlots;
}

struct Slabs {
    std::mutex mutex;
    // The slab new rows go to, so that rows added one after another lie side by side.
    Slab* current = nullptr;
    std::vector<Slab*> roomy;
};

Slabs& TheSlabs()
{
    // Never destroyed: rows may be let go by objects that outlive every static.
    static Slabs* slabs = new Slabs;
    return *slabs;
}

Slab* NewSlab()
{
    void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
    if (!memory)
        throw std::bad_alloc();
    Slab* slab = new (memory) Slab;
    DOX_POISON(SlotAt(slab, 0), kSlots * kSlot);
    return slab;
}

} // namespace

void* TakeRowSlot(size_t size)
{
    if (size != kSlot)
        return ::operator new(size);
    Slabs& slabs = TheSlabs();
    std::lock_guard<std::mutex> lock(slabs.mutex);
    Slab* slab = slabs.current;
    if (!slab || !HasRoom(slab)) {
        if (!slabs.roomy.empty()) {
            slab = slabs.roomy.back();
            slabs.roomy.pop_back();
            slab->listed = false;
        } else {
            slab = NewSlab();
        }
        // The slab left is full, so it is on no list: its first row given back puts it there.
        slabs.current = slab;
    }
    char* slot;
    if (slab->free) {
        slot = static_cast<char*>(slab->free);
        DOX_UNPOISON(slot, kSlot);
        slab->free = *reinterpret_cast<void**>(slot);
    } else {
        slot = SlotAt(slab, slab->bumped++);
        DOX_UNPOISON(slot, kSlot);
    }
    ++slab->live;
    return slot;
}

void GiveRowSlot(void* slot, size_t size)
{
    if (!slot)
        return;
    if (size != kSlot) {
        ::operator delete(slot);
        return;
    }
    Slabs& slabs = TheSlabs();
    std::lock_guard<std::mutex> lock(slabs.mutex);
    Slab* slab = SlabOf(slot);
    *static_cast<void**>(slot) = slab->free;
    slab->free = slot;
    DOX_POISON(slot, kSlot);
    --slab->live;
    if (slab == slabs.current)
        return;
    if (slab->live == 0) {
        if (slab->listed)
            slabs.roomy.erase(std::find(slabs.roomy.begin(), slabs.roomy.end(), slab));
        slab->~Slab();
        std::free(slab);
        return;
    }
    if (!slab->listed) {
        slabs.roomy.push_back(slab);
        slab->listed = true;
    }
}

} // namespace brindle
