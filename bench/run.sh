#!/usr/bin/env bash
# Runs the named benchmarks (bench/NAME.sh), or all of them when none is named. Each prints one figure a line
# as "NAME.FIGURE: VALUE UNIT". PAPYRANT_BUILD_DIR chooses the build folder (default: build); set
# PAPYRANT_BUILD_LOCK to a lock file to serialise builds with other users of the machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export PAPYRANT_ROOT=$(cd "$here/.." && pwd)
export PAPYRANT_BUILD_DIR=${PAPYRANT_BUILD_DIR:-$PAPYRANT_ROOT/build}
export PAPYRANT_BIN_DIR=$PAPYRANT_BUILD_DIR/bin

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for script in "$here"/*.sh; do
        name=$(basename "$script" .sh)
        [ "$name" = run ] || names+=("$name")
    done
fi
status=0
for name in "${names[@]}"; do
    script=$here/$name.sh
    if [ ! -f "$script" ] || [ "$name" = run ]; then
        echo "no benchmark named $name" >&2
        status=1
        continue
    fi
    bash "$script" || { echo "benchmark $name failed" >&2; status=1; }
done
exit $status
