#!/usr/bin/env bash
# The job list with 100,000 entries: adding, IsInList, scrolling, removing, memory per entry.
set -euo pipefail
root=${PAPYRANT_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
build=${PAPYRANT_BUILD_DIR:-$root/build}
lock=()
[ -n "${PAPYRANT_BUILD_LOCK:-}" ] && lock=(flock "$PAPYRANT_BUILD_LOCK")
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    "${lock[@]}" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
"${lock[@]}" cmake --build "$build" --target filelist-bench >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/filelist-bench"
