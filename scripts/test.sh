#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test; then again under
# AddressSanitizer and UndefinedBehaviorSanitizer. --quick skips the sanitizer stage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
for arg in "$@"; do
    case "$arg" in
    --quick) quick=1 ;;
    *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
    esac
done

"$root/scripts/setup-deps.sh"
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
