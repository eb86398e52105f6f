#!/usr/bin/env bash
# The job list with 100,000 entries: adding, IsInList, scrolling, removing, memory per entry.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
build_targets filelist-bench
QT_QPA_PLATFORM=offscreen "$build/bench/filelist-bench"
