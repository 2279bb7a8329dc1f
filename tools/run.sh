#!/usr/bin/env bash
# Installs what the build needs, builds the bill printing program with its sample
# template library (build/run) and starts it. At its first start the program copies the
# samples into the user's template library. Arguments go to the program (one template
# path). Without a display the program runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
launcher=""
if command -v ccache >/dev/null; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"; fi
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
# The designer is started from the home page to edit a template.
cmake --build build/run -j "$(nproc)" --target DoxKQRunner DoxDesigner DoxCore DoxKQPlus runner_samples
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" build/run/bin/DoxKQRunner "$@"
fi
exec build/run/bin/DoxKQRunner "$@"
