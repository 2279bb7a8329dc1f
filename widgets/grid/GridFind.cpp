#include "GridFind.h"

#include "MyGridCtrl.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <numeric>
#include <thread>

namespace
{

// A few threads that stay, for a find over many rows. The walk waits on memory, row
// after row, far more than it computes, so stretches of rows tested on several
// threads at once go about as many times faster. A part reads and marks its own
// rows only, never a widget; the thread that asked waits for every part and puts
// their counts and lists together in row order.
class RowPool
{
public:
    static RowPool& Get()
    {
        static RowPool pool;
        return pool;
    }

    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // Runs work(0) .. work(parts - 1), on the pool and on the calling thread; returns
    // once every part is done.
    void Run(size_t parts, const std::function<void(size_t)>& work)
    {
        // One find at a time uses the threads.
        std::lock_guard<std::mutex> one(runMutex_);
        if (threads_.empty() || parts < 2) {
            for (size_t part = 0; part < parts; ++part)
                work(part);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            work_ = &work;
            parts_ = parts;
            next_.store(0);
            done_ = 0;
            ++generation_;
        }
        wake_.notify_all();
        const size_t mine = Take(work);
        std::unique_lock<std::mutex> lock(mutex_);
        done_ += mine;
        // A thread that took this work may still be on its way out of it.
        finished_.wait(lock, [this] { return done_ == parts_ && busy_ == 0; });
        work_ = nullptr;
    }

private:
    // The calling thread and up to seven more: a find is a burst of a few milliseconds
    // that the operator waits on, and a walk over a hundred thousand rows still goes
    // faster on eight cores than on four before the memory is the limit.
    static constexpr unsigned kThreads = 8;

    RowPool()
    {
        const unsigned count = std::min(std::max(1u, std::thread::hardware_concurrency()), kThreads);
        for (unsigned i = 1; i < count; ++i)
            threads_.emplace_back([this] { Serve(); });
    }

    ~RowPool()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    size_t Take(const std::function<void(size_t)>& work)
    {
        size_t count = 0;
        for (size_t part = next_.fetch_add(1); part < parts_; part = next_.fetch_add(1)) {
            work(part);
            ++count;
        }
        return count;
    }

    void Serve()
    {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || (work_ && generation_ != seen); });
            if (stop_)
                return;
            seen = generation_;
            const std::function<void(size_t)>* work = work_;
            ++busy_;
            lock.unlock();
            const size_t count = Take(*work);
            lock.lock();
            --busy_;
            done_ += count;
            if (done_ == parts_ && busy_ == 0)
                finished_.notify_one();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex runMutex_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(size_t)>* work_ = nullptr;
    size_t parts_ = 0;
    std::atomic<size_t> next_{0};
    size_t done_ = 0;
    int busy_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
};

// Below this many rows a find is one walk on the calling thread: waking the pool
// would cost more than it saves.
constexpr size_t kPoolRows = 4096;
// A part of a find on the pool: small enough that the threads finish together.
constexpr size_t kPartRows = 1024;
// A find over some thousands of rows (a key after the first few) is cut finer: eleven
// parts on eight threads leave most threads idle for the last three, and the rows that
// fail at their notes, the ones read, lie unevenly.
constexpr size_t kFewestParts = 64;
constexpr size_t kLeastPartRows = 128;

} // namespace

// A find over many rows. The rows that pass are written over the list being walked
// (the shown rows when narrowing, else a list of every row), each stretch of it from
// its own start, then closed up. Beside each row, where its text was found and the
// bytes from there on: the next key, which only adds to the text, is checked against
// those first, and only a row that fails there is read (the rows are separate blocks
// all over memory; these notes are one line a row, side by side, in row order).
struct GridFind::Scratch {
    static constexpr size_t kSeenBytes = 48;
    struct Seen {
        const char* at;
        uint32_t left;
        // The bytes from `at` on, as far as its cell goes.
        char bytes[kSeenBytes];

        void Take(const MyGridCells::Hit& hit)
        {
            at = hit.at;
            left = hit.left;
            std::memcpy(bytes, hit.at, std::min<size_t>(hit.left, kSeenBytes));
        }
        bool Holds(std::string_view want) const
        {
            if (left < want.size())
                return false;
            return std::memcmp(want.size() <= kSeenBytes ? bytes : at, want.data(), want.size()) == 0;
        }
    };
    // The notes lie in blocks of a thousand that stay, each made and its pages touched
    // as the grid grows past it, so the rows of a long list pay for their notes' memory
    // while they come in. Made at the first key instead, a hundred thousand fresh notes
    // cost more in page faults than the walk that writes them (2 ms against 0.8 ms).
    static constexpr size_t kNoteShift = 10;
    static constexpr size_t kBlockNotes = size_t{1} << kNoteShift;
    Seen& Note(size_t row) { return notes[row >> kNoteShift][row & (kBlockNotes - 1)]; }
    void MakeRoom(size_t count)
    {
        // Made zeroed, which touches every page of the block now.
        while (notes.size() * kBlockNotes < count)
            notes.push_back(std::make_unique<Seen[]>(kBlockNotes));
    }
    // Notes for `count` rows, from the first; those already there are written over by
    // the walk that asks.
    void UseNotes(size_t count)
    {
        MakeRoom(count);
        seenCount = count;
    }
    // A row's note as it was before a key found its text further on in the row.
    struct Moved {
        int row;
        Seen note;
    };
    struct Part {
        size_t passed = 0;
        // The rows shown or hidden, and the ticks taken off the rows hidden.
        size_t changed = 0;
        int unticked = 0;
        // When narrowing: the rows this part hid, in order, and the notes it moved.
        std::vector<int> hidden;
        std::vector<Moved> moved;
        // When extending: the places of the part's rows that fail at their notes (the
        // part's own, not a thread's: a thread's list costs a call for its address at
        // every use from a shared library).
        std::vector<uint32_t> failing;

        // A row is shown or hidden by the part that looks at it; the check count and
        // the shown list are put together by the thread that asked.
        void Mark(MyGridItem& item, bool show)
        {
            ++changed;
            if (show) {
                item.visible = 1;
                return;
            }
            if (item.visible && item.checked) {
                item.checked = 0;
                ++unticked;
            }
            item.focus = 0;
            item.visible = 0;
        }
    };
    // A key that narrowed the find: the text before it, the rows it hid and the notes
    // it moved. Taking the key back (BackSpace) shows exactly those rows again and puts
    // the notes back, without reading a row: a row hidden by the key that made the text
    // T+c holds T. The lists are the parts' own, taken as they are, one stretch of the
    // rows after another in row order: a key may hide a million rows.
    struct Step {
        std::string text;
        std::vector<std::vector<int>> hidden;
        std::vector<std::vector<Moved>> moved;
        // The key only added to the end of the text: the notes before it are the
        // notes after it with the moved ones put back.
        bool notesKept = false;
    };
    std::vector<Part> parts;
    std::vector<int> rows;
    std::vector<std::unique_ptr<Seen[]>> notes;
    size_t seenCount = 0;
    // The shown rows with the rows a BackSpace shows again, merged (kept for its room).
    std::vector<int> merged;
    // The notes are those of the shown rows, one for each row by its index, for the
    // last find's text and column, while the client's shuffles stay at this count.
    bool seenValid = false;
    uint64_t shuffles = 0;
    // The keys since the last find that looked at every row, oldest first; they hold
    // while no cell changed and the rows kept their places and number (the shuffles).
    std::vector<Step> steps;
};

// What one find over the rows settled before its parts start: the threads never ask
// the grid.
struct GridFind::Walk {
    enum class Test { All, Text, None };
    const std::vector<std::unique_ptr<MyGridItem>>& rows;
    std::vector<int>& order;
    size_t count;
    size_t parts;
    Test test;
    int column;
    bool narrowing;
    std::string_view want;
    // A text of two characters or more: most rows that cannot hold it say so in their
    // mask, and their text is not read.
    MyGridCells::PairMask pairs;
    bool masked;

    size_t Begin(size_t part) const { return count * part / parts; }
    bool MayHold(const MyGridItem& item) const { return !masked || item.cells.MayHold(pairs); }
    // Asking for a row some steps ahead: first the row (its flags and mask, one line),
    // then, once the row is in, its text if the mask lets it be read.
    void PrefetchRow(size_t k) const { __builtin_prefetch(rows[static_cast<size_t>(order[k])].get()); }
    void PrefetchText(size_t k) const
    {
        const MyGridItem& item = *rows[static_cast<size_t>(order[k])];
        if (MayHold(item))
            item.cells.Prefetch();
    }
};

GridFind::GridFind() = default;
GridFind::~GridFind() = default;

GridFind::Scratch& GridFind::Notes()
{
    if (!scratch_)
        scratch_ = std::make_unique<Scratch>();
    return *scratch_;
}

void GridFind::Forget()
{
    valid_ = false;
    text_.clear();
    foundRows_ = 0;
    scratch_.reset();
}

void GridFind::RowsAdded(size_t count)
{
    // A short list's notes are made at its first key: they cost next to nothing then.
    if (count < kPoolRows)
        return;
    Notes().MakeRoom(count);
    // The pool's threads start with a long list, not within its first key.
    RowPool::Get();
}

bool GridFind::Run(MyGridClient& client, int column, int columns, std::string needle)
{
    Scratch& scratch = Notes();
    // The keys kept hold only over the very rows they looked at.
    if (!valid_ || column != column_ || scratch.shuffles != client.Shuffles())
        scratch.steps.clear();
    // A text some key was typed after (BackSpace, or a selection of the last keys
    // deleted) is what was shown before that key: the rows it and the keys after it
    // hid are shown again, and no row is read.
    size_t takeBack = scratch.steps.size();
    while (takeBack > 0 && scratch.steps[takeBack - 1].text != needle)
        --takeBack;
    const bool changed =
        takeBack > 0 ? TakeBack(client, takeBack - 1) : Filter(client, column, columns, needle);
    scratch.shuffles = client.Shuffles();
    valid_ = true;
    column_ = column;
    text_ = std::move(needle);
    foundRows_ = static_cast<int>(client.rows.size());
    return changed;
}

bool GridFind::TakeBack(MyGridClient& client, size_t to)
{
    Scratch& scratch = *scratch_;
    const auto& rows = client.rows;
    bool changed = false;
    std::vector<int>& shown = scratch.rows;
    shown = client.Shown();
    std::vector<int>& merged = scratch.merged;
    for (size_t s = scratch.steps.size(); s-- > to;) {
        Scratch::Step& step = scratch.steps[s];
        const std::vector<std::vector<int>>& stretches = step.hidden;
        size_t count = 0;
        for (const std::vector<int>& hidden : stretches)
            count += hidden.size();
        // The rows are separate blocks: the ones some steps ahead are asked for
        // early, and many rows are shared out over the pool's threads.
        const std::function<void(size_t)> show = [&](size_t part) {
            const std::vector<int>& hidden = stretches[part];
            for (size_t i = 0; i < hidden.size(); ++i) {
                if (i + 16 < hidden.size())
                    __builtin_prefetch(rows[static_cast<size_t>(hidden[i + 16])].get(), 1);
                rows[static_cast<size_t>(hidden[i])]->visible = 1;
            }
        };
        if (count < kPoolRows) {
            for (size_t part = 0; part < stretches.size(); ++part)
                show(part);
        } else {
            RowPool::Get().Run(stretches.size(), show);
        }
        if (count > 0) {
            changed = true;
            merged.resize(shown.size() + count);
            if (merged.size() == rows.size()) {
                // Every row is shown again (a text each row holds, the empty one
                // among them): the list is the rows in their order, no merge needed.
                std::iota(merged.begin(), merged.end(), 0);
            } else {
                auto from = shown.cbegin();
                auto at = merged.begin();
                for (const std::vector<int>& hidden : stretches) {
                    const auto below = std::lower_bound(from, shown.cend(), hidden.back());
                    at = std::merge(from, below, hidden.begin(), hidden.end(), at);
                    from = below;
                }
                std::copy(from, shown.cend(), at);
            }
            shown.swap(merged);
        }
        for (const std::vector<Scratch::Moved>& stretch : step.moved)
            for (const Scratch::Moved& moved : stretch)
                scratch.Note(static_cast<size_t>(moved.row)) = moved.note;
        scratch.seenValid = scratch.seenValid && step.notesKept;
    }
    scratch.steps.resize(to);
    if (changed)
        client.Reshuffled();
    client.SetShown(shown);
    return changed;
}

bool GridFind::Filter(MyGridClient& client, int column, int columns, const std::string& needle)
{
    Scratch& scratch = *scratch_;
    // A text that holds the last one (a key typed at the end of the search) can only
    // hide more: only the rows still shown need a look, unless a cell changed since.
    const bool narrowing = valid_ && column == column_ && needle.find(text_) != std::string::npos;
    if (!narrowing)
        scratch.steps.clear();
    using Test = Walk::Test;
    const Test test = needle.empty()                                      ? Test::All
                      : column == -1 || (column >= 0 && column < columns) ? Test::Text
                                                                          : Test::None;
    const auto& rows = client.rows;
    // A text that starts with the last one is found, in a row, no earlier than where
    // the last one was.
    const bool extending = narrowing && test == Test::Text && scratch.seenValid &&
                           scratch.shuffles == client.Shuffles() &&
                           needle.compare(0, text_.size(), text_) == 0 && scratch.seenCount == rows.size();
    std::vector<int>& order = scratch.rows;
    if (narrowing) {
        client.Shown();
        order.swap(client.shown_);
    } else {
        order.resize(rows.size());
        std::iota(order.begin(), order.end(), 0);
    }
    if (!extending)
        scratch.UseNotes(rows.size());
    const size_t count = order.size();
    const size_t parts = count < kPoolRows ? 1
                                           : std::max((count + kPartRows - 1) / kPartRows,
                                                      std::min(kFewestParts, count / kLeastPartRows));
    if (scratch.parts.size() < parts)
        scratch.parts.resize(parts);
    const std::string_view want(needle);
    const MyGridCells::PairMask pairs = MyGridCells::PairsOf(want);
    const Walk walk{rows,   order,     count, parts, test,
                    column, narrowing, want,  pairs, test == Test::Text && !pairs.empty()};
    const std::function<void(size_t)> work = [&](size_t part) {
        Scratch::Part& out = scratch.parts[part];
        out.changed = 0;
        out.unticked = 0;
        out.hidden.clear();
        out.moved.clear();
        if (extending)
            ExtendPart(walk, part);
        else
            WalkPart(walk, part);
    };
    // A grid of a few rows never starts the pool's threads.
    if (parts < 2)
        work(0);
    else
        RowPool::Get().Run(parts, work);
    // The parts' rows closed up: the rows now shown, in their order, taken as they are
    // instead of another walk over every row.
    Scratch::Step step;
    if (narrowing) {
        step.text = text_;
        step.notesKept = extending;
    }
    size_t shown = 0;
    bool changed = false;
    for (size_t part = 0; part < parts; ++part) {
        Scratch::Part& out = scratch.parts[part];
        const size_t begin = walk.Begin(part);
        if (shown != begin && out.passed > 0)
            std::memmove(order.data() + shown, order.data() + begin, out.passed * sizeof(int));
        shown += out.passed;
        changed = changed || out.changed > 0;
        client.checkCount -= out.unticked;
        if (narrowing && !out.hidden.empty()) {
            step.hidden.emplace_back();
            step.hidden.back().swap(out.hidden);
        }
        if (narrowing && !out.moved.empty()) {
            step.moved.emplace_back();
            step.moved.back().swap(out.moved);
        }
    }
    if (narrowing)
        scratch.steps.push_back(std::move(step));
    if (changed)
        client.Reshuffled();
    order.resize(shown);
    client.SetShown(order);
    scratch.seenValid = test == Test::Text;
    return changed;
}

void GridFind::WalkPart(const Walk& walk, size_t part)
{
    Scratch& scratch = *scratch_;
    Scratch::Part& out = scratch.parts[part];
    const size_t begin = walk.Begin(part);
    const size_t end = walk.Begin(part + 1);
    size_t passed = begin;
    // The rows are a hundred thousand separate blocks: asking for the ones some steps
    // ahead, the row first and its text once the row is in, keeps the walk from
    // waiting on memory at every row.
    for (size_t k = begin; k < end; ++k) {
        if (k + 32 < end)
            walk.PrefetchRow(k + 32);
        if (k + 16 < end)
            walk.PrefetchText(k + 16);
        const int row = walk.order[k];
        MyGridItem& item = *walk.rows[static_cast<size_t>(row)];
        MyGridCells::Hit hit;
        bool show = walk.test == Walk::Test::All;
        if (walk.test == Walk::Test::Text && walk.MayHold(item)) {
            hit = item.cells.FindHit(walk.want, walk.column, nullptr);
            show = hit.at != nullptr;
        }
        // A hidden row has no check and no focus mark; only a row whose marks change
        // is written to.
        if (show ? item.visible != 1 : item.visible != 0 || item.focus != 0)
            out.Mark(item, show);
        if (!show && walk.narrowing)
            out.hidden.push_back(row);
        // The notes serve a text only; a row hidden keeps the note it had.
        if (show && walk.test == Walk::Test::Text)
            scratch.Note(static_cast<size_t>(row)).Take(hit);
        if (show)
            walk.order[passed++] = row;
    }
    out.passed = passed - begin;
}

void GridFind::ExtendPart(const Walk& walk, size_t part)
{
    Scratch& scratch = *scratch_;
    Scratch::Part& out = scratch.parts[part];
    const size_t begin = walk.Begin(part);
    const size_t end = walk.Begin(part + 1);
    // Every row here is shown and was found at its note. The notes are checked first,
    // side by side in memory; the rows that fail there are the only ones read, and
    // those are asked for some steps ahead, like every row of a full walk.
    std::vector<uint32_t>& failing = out.failing;
    failing.clear();
    for (size_t k = begin; k < end; ++k)
        if (!scratch.Note(static_cast<size_t>(walk.order[k])).Holds(walk.want))
            failing.push_back(static_cast<uint32_t>(k));
    size_t passed = begin;
    size_t next = 0;
    for (size_t k = begin; k < end; ++k) {
        const int row = walk.order[k];
        const bool fails = next < failing.size() && k == failing[next];
        if (fails) {
            ++next;
            if (next + 32 < failing.size())
                walk.PrefetchRow(failing[next + 32]);
            if (next + 16 < failing.size())
                walk.PrefetchText(failing[next + 16]);
            MyGridItem& item = *walk.rows[static_cast<size_t>(row)];
            Scratch::Seen& note = scratch.Note(static_cast<size_t>(row));
            MyGridCells::Hit hit;
            if (walk.MayHold(item))
                hit = item.cells.FindHit(walk.want, walk.column, note.at + 1);
            if (hit.at == nullptr) {
                out.Mark(item, false);
                out.hidden.push_back(row);
                continue;
            }
            // Found further on: the note as it was goes with the key, for BackSpace
            // to put back.
            out.moved.push_back(Scratch::Moved{row, note});
            note.Take(hit);
        }
        walk.order[passed++] = row;
    }
    out.passed = passed - begin;
}

bool GridFind::MeetNewRows(MyGridClient& client, int from)
{
    const int count = static_cast<int>(client.rows.size());
    from = std::clamp(from, 0, count);
    foundRows_ = count;
    if (from == count || text_.empty())
        return false;
    bool hid = false;
    for (int i = from; i < count; ++i) {
        MyGridItem& item = *client.rows[static_cast<size_t>(i)];
        if (!item.visible || item.FindUtf8(column_, text_))
            continue;
        if (item.checked) {
            item.checked = 0;
            --client.checkCount;
        }
        item.visible = 0;
        item.focus = 0;
        hid = true;
        if (client.focus == i) {
            client.focus = -1;
            client.newRow.focus = 1;
        }
    }
    if (!hid)
        return false;
    // The rows before `from` keep their places in the visible list; only its tail is
    // made again.
    if (client.shownValid_) {
        std::vector<int>& shown = client.shown_;
        shown.erase(std::lower_bound(shown.begin(), shown.end(), from), shown.end());
        for (int i = from; i < count; ++i)
            if (client.rows[static_cast<size_t>(i)]->visible)
                shown.push_back(i);
    }
    ++client.shuffles_;
    return true;
}
