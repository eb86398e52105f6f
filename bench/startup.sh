#!/usr/bin/env bash
# Start-up: the time from the launch until the window is mapped on an X server (Xvfb), for the program, for a
# bare Qt window of the same size and for a window of the program's controls, face and skin alone (nothing of
# the program's own), launched in turns, 9 times each. The program's own share is the difference of the medians
# against the bare window; the controls window's share is what the toolkit asks of any window made of those
# controls, and the program's share over it is what the program's own work costs.
# The program starts as users start it: with the PDF printer installed, so no message comes first, and
# with the files it ships beside itself (the skin and the hand pointer), which start-up reads; and in a desktop
# session's surroundings, with a session bus. Without one, every Qt window that has controls (as the program has,
# the bare window has none) starts the bus's autolaunch helper before it is shown, a cost no desktop user pays;
# the bare window pays it only after it has asked to be shown, so the benchmark charged it to the program alone.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
build_targets papyrant papyrant_assets papyrant-platform bare-window controls-window window-watch
runs=${STARTUP_RUNS:-9}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$build/bin/papyrant-platform" setup >/dev/null

cat >"$scratch/measure.sh" <<MEASURE
#!/usr/bin/env bash
set -euo pipefail
export QT_QPA_PLATFORM=xcb
# One launch of each first, unmeasured, so that all find the libraries and fonts in the page cache.
"$build/tests/window-watch" -- "$build/bin/papyrant" >/dev/null
"$build/tests/window-watch" -- "$build/bench/bare-window" >/dev/null
"$build/tests/window-watch" -- "$build/bench/controls-window" "$build/bin/x/o.cjs" >/dev/null
for i in \$(seq $runs); do
    echo "program \$("$build/tests/window-watch" -- "$build/bin/papyrant" | head -1)"
    echo "bare \$("$build/tests/window-watch" -- "$build/bench/bare-window" | head -1)"
    echo "controls \$("$build/tests/window-watch" -- "$build/bench/controls-window" "$build/bin/x/o.cjs" | head -1)"
done
MEASURE
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$scratch/measure.sh" >"$scratch/times"

median() {
    grep "^$1 " "$scratch/times" | cut -d' ' -f2 | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
program=$(median program)
bare=$(median bare)
controls=$(median controls)
echo "startup.program_median: $program ms"
echo "startup.bare_window_median: $bare ms"
echo "startup.controls_window_median: $controls ms"
awk -v p="$program" -v b="$bare" 'BEGIN { printf "startup.own_share: %.1f ms\n", p - b }'
awk -v c="$controls" -v b="$bare" 'BEGIN { printf "startup.controls_window_share: %.1f ms\n", c - b }'
awk -v p="$program" -v c="$controls" 'BEGIN { printf "startup.program_over_controls_window: %.1f ms\n", p - c }'
