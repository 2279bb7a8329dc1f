#include "RowSlabs.h"

#include "MyGridCtrl.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include <sys/mman.h>

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

#if !defined(__SANITIZE_ADDRESS__)
// A run of cell blocks: one large page, aligned to its size, so a block finds its run
// from its own address. A block too big to share a run has one of its own.
constexpr size_t kRunBytes = size_t{2} << 20;
constexpr size_t kRunHead = 64;
constexpr size_t kSharedBlock = kRunBytes / 8;

struct Run {
    // The blocks in use, and one more while new blocks are taken from the run.
    std::atomic<size_t> live{0};
    size_t bytes = 0;
};

struct Runs {
    std::mutex mutex;
    Run* current = nullptr;
    size_t used = 0;
};

Runs& TheRuns()
{
    // Never destroyed, as the slabs.
    static Runs* runs = new Runs;
    return *runs;
}

Run* MapRun(size_t bytes, bool large = false)
{
    // Mapped with a run's size to spare, then cut to the aligned part.
    const size_t mapped = bytes + kRunBytes;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto begin = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t at = (begin + kRunBytes - 1) & ~(uintptr_t{kRunBytes} - 1);
    if (at > begin)
        munmap(raw, at - begin);
    if (begin + mapped > at + bytes)
        munmap(reinterpret_cast<void*>(at + bytes), begin + mapped - at - bytes);
    // Asked before the first touch, which otherwise maps an ordinary page. Without
    // large pages (not offered, or none free) the run is ordinary pages.
    if (large)
        madvise(reinterpret_cast<void*>(at), bytes, MADV_HUGEPAGE);
    Run* run = new (reinterpret_cast<void*>(at)) Run;
    run->bytes = bytes;
    return run;
}

// Runs for a long list are made ready a few ahead on a thread of their own, as large
// pages with their memory in place. A large page may have to be gathered by moving
// other memory first: asked for on the thread that adds the rows, that wait held the
// loading of a million bills a second longer.
class Preparer
{
public:
    // A run made ready, null when none is (the caller maps its own, of ordinary pages).
    Run* Take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A list of up to some hundred thousand rows never starts the thread nor keeps
        // runs in reserve: its blocks' addresses are few enough to be translated fast,
        // and two runs in reserve would be forty bytes more memory a row.
        if (++taken_ < kLongList)
            return nullptr;
        if (!started_) {
            // Never stopped: a list may grow at any time until the program ends.
            std::thread([this] { Serve(); }).detach();
            started_ = true;
        }
        Run* run = nullptr;
        if (!ready_.empty()) {
            run = ready_.back();
            ready_.pop_back();
        }
        wake_.notify_one();
        return run;
    }

private:
    static constexpr size_t kLongList = 64;
    static constexpr size_t kAhead = 2;

    void Serve()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return ready_.size() < kAhead; });
            lock.unlock();
            Run* run = MapRun(kRunBytes, true);
            for (size_t at = 4096; at < kRunBytes; at += 4096)
                reinterpret_cast<volatile char*>(run)[at] = 0;
            lock.lock();
            ready_.push_back(run);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Run*> ready_;
    size_t taken_ = 0;
    bool started_ = false;
};

Preparer& ThePreparer()
{
    static Preparer* preparer = new Preparer;
    return *preparer;
}

void Release(Run* run)
{
    if (run->live.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    const size_t bytes = run->bytes;
    run->~Run();
    munmap(run, bytes);
}
#endif

} // namespace

char* TakeCellBlock(size_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    // The heap's own blocks, so that a read past a row's text is caught.
    return new char[size];
#else
    // Eight-byte steps keep each block's header and ends aligned.
    size = (size + 7) & ~size_t{7};
    if (size > kSharedBlock) {
        Run* run = MapRun((kRunHead + size + 4095) & ~size_t{4095});
        run->live.store(1, std::memory_order_relaxed);
        return reinterpret_cast<char*>(run) + kRunHead;
    }
    Runs& runs = TheRuns();
    std::lock_guard<std::mutex> lock(runs.mutex);
    if (!runs.current || runs.used + size > kRunBytes) {
        Run* run = ThePreparer().Take();
        if (!run)
            run = MapRun(kRunBytes);
        run->live.store(1, std::memory_order_relaxed);
        if (runs.current)
            Release(runs.current);
        runs.current = run;
        runs.used = kRunHead;
    }
    char* block = reinterpret_cast<char*>(runs.current) + runs.used;
    runs.used += size;
    runs.current->live.fetch_add(1, std::memory_order_relaxed);
    return block;
#endif
}

void GiveCellBlock(char* block)
{
    if (!block)
        return;
#if defined(__SANITIZE_ADDRESS__)
    delete[] block;
#else
    Release(reinterpret_cast<Run*>(reinterpret_cast<uintptr_t>(block) & ~(uintptr_t{kRunBytes} - 1)));
#endif
}

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
