#!/usr/bin/env bash
# The Windows stage: cross-builds everything that needs no Qt with MinGW-w64 and runs its tests under Wine, in a
# scratch Wine prefix that is thrown away afterwards; then makes the Windows packages with the window
# (scripts/package-windows.sh, which builds the MinGW Qt first when it is not cached) and drives the installed
# window under Wine (tests/windows/window-e2e.sh). With the MinGW Qt cached the whole stage takes a few minutes;
# without it, building Qt adds about 35 minutes on 2 cores, once.
# Usage: scripts/test-windows.sh [BUILD_DIR [PACKAGE_DIR]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-win32}
package_dir=${2:-$root/build-win}
start=$SECONDS

"$root/scripts/setup-deps.sh" --windows

# The MinGW Qt's cache stays the user's own when HOME moves into the scratch folder below.
export XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/papyrant-wine-XXXXXX")
# No Mono or Gecko: booting the prefix would otherwise try to fetch them, and nothing here needs them.
export HOME=$scratch/home WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine takes the ANSI code page from the locale: 1252, whatever the caller's locale, as the tests expect.
export LC_ALL=C.UTF-8
mkdir -p "$HOME" "$WINEPREFIX"
unset DISPLAY WAYLAND_DISPLAY
wine_log=$scratch/wine.log

finish() {
    local status=$?
    # The server ends every Wine process of the prefix with it.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ "$status" -ne 0 ] && [ -s "$wine_log" ]; then
        echo "-- last lines of Wine's own output:" >&2
        tail -n 20 "$wine_log" >&2
    fi
    rm -rf "$scratch"
    exit "$status"
}
trap finish EXIT

echo "-- Wine prefix"
# The server and the services that booting starts stay up for the whole run, with their output going to a file:
# started by the first test instead, they would hold CTest's output pipe open and CTest would wait for them.
wineserver -p >>"$wine_log" 2>&1
wineboot -i >>"$wine_log" 2>&1
# No crash dialog: a test that crashes must fail, not wait for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$wine_log" 2>&1
echo "-- Wine prefix ready after $((SECONDS - start)) s"

cmake -S "$root" -B "$dir" -G Ninja -DPAPYRANT_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "-- cross-build done after $((SECONDS - start)) s"

(cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 300)
echo "-- tests without the window done after $((SECONDS - start)) s"
# The prefix above is done with; the window's test makes its own.
wineserver -k >/dev/null 2>&1 || true

"$root/scripts/package-windows.sh" "$package_dir"
echo "-- packages made after $((SECONDS - start)) s"
setup=$(ls "$package_dir"/Papyrant-*-setup.exe)
"$root/tests/windows/window-e2e.sh" "$setup" "$dir/tests" "$package_dir/window-test"
echo "-- Windows stage took $((SECONDS - start)) s"
