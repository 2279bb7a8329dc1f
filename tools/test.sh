#!/usr/bin/env bash
# Builds from scratch and runs the whole suite twice: a plain build, then one
# with AddressSanitizer and UndefinedBehaviorSanitizer.
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
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DDOX_SANITIZE=ON
