#pragma once
// The unstable introspective sort the lists and the grid sort their rows with:
// quicksort partitions, heap sort once the depth budget is spent, insertion sort
// for short runs. `before(a, b)` comes from the program (a row's OnCompare), so it
// may not be a strict weak ordering; every scan here is bounded by the range, so a
// comparator that says "before" for equal rows, or contradicts itself, only gives a
// strange order, never a read outside the rows.

#include <cstddef>
#include <utility>
#include <vector>

namespace brindle
{

namespace detail
{

constexpr std::ptrdiff_t kInsertionRun = 32;

template <class T, class Before>
void InsertionSort(std::vector<T>& v, std::ptrdiff_t lo, std::ptrdiff_t hi, Before& before)
{
    for (std::ptrdiff_t i = lo + 1; i < hi; ++i) {
        T item = std::move(v[i]);
        std::ptrdiff_t j = i;
        while (j > lo && before(item, v[j - 1])) {
            v[j] = std::move(v[j - 1]);
            --j;
        }
        v[j] = std::move(item);
    }
}

template <class T, class Before>
void SiftDown(std::vector<T>& v, std::ptrdiff_t base, std::ptrdiff_t root, std::ptrdiff_t count, Before& before)
{
    for (;;) {
        std::ptrdiff_t child = 2 * root + 1;
        if (child >= count)
            return;
        if (child + 1 < count && before(v[base + child], v[base + child + 1]))
            ++child;
        if (!before(v[base + root], v[base + child]))
            return;
        std::swap(v[base + root], v[base + child]);
        root = child;
    }
}

template <class T, class Before>
void HeapSort(std::vector<T>& v, std::ptrdiff_t lo, std::ptrdiff_t hi, Before& before)
{
    std::ptrdiff_t count = hi - lo;
    for (std::ptrdiff_t i = count / 2 - 1; i >= 0; --i)
        SiftDown(v, lo, i, count, before);
    for (std::ptrdiff_t end = count - 1; end > 0; --end) {
        std::swap(v[lo], v[lo + end]);
        SiftDown(v, lo, 0, end, before);
    }
}

template <class T, class Before>
void IntroSort(std::vector<T>& v, std::ptrdiff_t lo, std::ptrdiff_t hi, int depth, Before& before)
{
    while (hi - lo > kInsertionRun) {
        if (depth-- <= 0) {
            HeapSort(v, lo, hi, before);
            return;
        }
        // Median of three as the pivot, kept at lo during the partition.
        std::ptrdiff_t mid = lo + (hi - lo) / 2;
        if (before(v[mid], v[lo]))
            std::swap(v[mid], v[lo]);
        if (before(v[hi - 1], v[mid]))
            std::swap(v[hi - 1], v[mid]);
        if (before(v[mid], v[lo]))
            std::swap(v[mid], v[lo]);
        std::swap(v[lo], v[mid]);
        std::ptrdiff_t i = lo + 1;
        std::ptrdiff_t j = hi - 1;
        for (;;) {
            while (i <= j && before(v[i], v[lo]))
                ++i;
            while (j >= i && before(v[lo], v[j]))
                --j;
            if (i >= j)
                break;
            std::swap(v[i], v[j]);
            ++i;
            --j;
        }
        std::swap(v[lo], v[j]);
        // Recurse into the smaller side, loop on the larger one.
        if (j - lo < hi - (j + 1)) {
            IntroSort(v, lo, j, depth, before);
            lo = j + 1;
        } else {
            IntroSort(v, j + 1, hi, depth, before);
            hi = j;
        }
    }
    InsertionSort(v, lo, hi, before);
}

} // namespace detail

template <class T, class Before>
void IntroSortRows(std::vector<T>& rows, Before before)
{
    int depth = 0;
    for (std::size_t n = rows.size(); n > 1; n >>= 1)
        depth += 2;
    detail::IntroSort(rows, 0, static_cast<std::ptrdiff_t>(rows.size()), depth, before);
}

} // namespace brindle
