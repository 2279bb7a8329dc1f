#pragma once
// A pooled connection is opened without SQLite's own lock around every call (a list
// of a hundred thousand bills reads four million cells), on the rule that only the
// thread that opened it ever uses it, and the statements prepared on it. Debug
// builds check the rule at every use and stop at the first use from another thread.

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace sqlthread
{

#ifndef NDEBUG
inline void Check(const std::thread::id& owner)
{
    if (owner != std::thread::id() && owner != std::this_thread::get_id()) {
        std::fputs("SQLite connection used by a thread that did not open it\n", stderr);
        std::abort();
    }
}
#else
inline void Check(const std::thread::id&) {}
#endif

} // namespace sqlthread
