#!/usr/bin/env bash
# Builds the Debian package of the system (both programs, their libraries, the sample
# template library, menu entries, file types, icons and documents) in build/pkg:
# build/pkg/dox_<version>_<arch>.deb. Install it with `apt install ./build/pkg/dox_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=""
if command -v ccache >/dev/null; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"; fi
cmake -S . -B build/pkg -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
# Only what the package holds; the tests and benchmarks are not built.
cmake --build build/pkg -j "$(nproc)" --target DoxKQRunner DoxDesigner DoxCore Brindle Vududirura DoxKQPlus \
    MarvConnKQCalcFunc runner_samples dox_icons dox_gzipped
rm -f build/pkg/dox_*.deb
(cd build/pkg && cpack -G DEB)
ls build/pkg/dox_*.deb
