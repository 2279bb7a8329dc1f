#!/usr/bin/env bash
# Builds from scratch and runs the whole suite twice: a plain build, then one
# with AddressSanitizer and UndefinedBehaviorSanitizer. Between the two, a small
# build with ThreadSanitizer runs the tests of the code that works on several
# threads; the sanitizer suite comes last, so the run closes on ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# A rerun compiles only what changed.
launcher=""
if command -v ccache >/dev/null; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"; fi

run_suite() {
    local dir=$1; shift
    rm -rf "$dir"
    cmake -S . -B "$dir" -G Ninja -DDOX_WERROR=ON $launcher "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest -j "$jobs" --output-on-failure --timeout 600)
}

run_suite build/test

# The grid's find shares its walk out over a pool of threads, and the store's
# connections refuse a thread that did not open them: only their test programs are
# built, and a race reported stops the run.
run_tsan() {
    local dir=$1; shift
    rm -rf "$dir"
    cmake -S . -B "$dir" -G Ninja -DDOX_WERROR=ON $launcher -DCMAKE_BUILD_TYPE=Debug -DDOX_TSAN=ON >/dev/null
    cmake --build "$dir" -j "$jobs" --target "$@"
    local test
    for test in "$@"; do
        (cd "$dir/tests" && "./$test")
    done
}
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tools/tsan.supp \
    run_tsan build/tsan brindle_grid_tests dox_store_tests

ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DDOX_SANITIZE=ON
