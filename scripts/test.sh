#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test; then again under
# AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows side, cross-built and run under Wine.
# --quick skips the sanitizer stage, --no-windows the Windows stage (CI runs both).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
windows=1
for arg in "$@"; do
    case "$arg" in
    --quick) quick=1 ;;
    --no-windows) windows=0 ;;
    *) echo "usage: scripts/test.sh [--quick] [--no-windows]" >&2; exit 2 ;;
    esac
done

"$root/scripts/setup-deps.sh"
"$root/scripts/check-portability.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

stage() {
    local name=$1 dir=$2
    shift 2
    echo "== $name"
    local start=$SECONDS
    "$root/scripts/build.sh" "$dir" -DPAPYRANT_WERROR=ON "$@"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300)
    echo "== $name took $((SECONDS - start)) s"
}

stage "build and test" "$root/build"
if [ "$quick" = 0 ]; then
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        stage "sanitizers" "$root/build-sanitize" -DPAPYRANT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
fi
if [ "$windows" = 1 ]; then
    echo "== Windows (MinGW-w64 and Wine)"
    "$root/scripts/test-windows.sh" "$root/build-win32"
fi
