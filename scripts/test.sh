#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test; then again under
# AddressSanitizer and UndefinedBehaviorSanitizer (all but the readers test, which only reads PDFs back); then
# the threaded parts under ThreadSanitizer (scripts/test-tsan.sh); then the Windows side, cross-built and run
# under Wine, and the Windows packages made and their window driven under Wine (scripts/test-windows.sh, which
# builds the MinGW Qt first when it is not cached); then every fuzz target for a minute (scripts/fuzz.sh); then
# the Debian package is built and tried (scripts/package.sh).
# --quick skips the sanitizer stages, --no-tsan the ThreadSanitizer stage, --no-windows the Windows stage,
# --no-fuzz the fuzz stage, --no-package the package stage (CI runs them all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
tsan=1
windows=1
fuzz=1
package=1
for arg in "$@"; do
    case "$arg" in
    --quick) quick=1 ;;
    --no-tsan) tsan=0 ;;
    --no-windows) windows=0 ;;
    --no-fuzz) fuzz=0 ;;
    --no-package) package=0 ;;
    *) echo "usage: scripts/test.sh [--quick] [--no-tsan] [--no-windows] [--no-fuzz] [--no-package]" >&2; exit 2 ;;
    esac
done

"$root/scripts/setup-deps.sh"
"$root/scripts/check-portability.sh"
"$root/scripts/check-dependencies.sh"
"$root/scripts/check-format.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# stage NAME DIR [CTEST-ARGUMENTS --] [CMAKE-ARGUMENTS]
stage() {
    local name=$1 dir=$2
    shift 2
    local tests=()
    if [[ " $* " == *" -- "* ]]; then
        while [ "$1" != -- ]; do tests+=("$1"); shift; done
        shift
    fi
    echo "== $name"
    local start=$SECONDS
    "$root/scripts/build.sh" "$dir" -DPAPYRANT_WERROR=ON "$@"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "${tests[@]}")
    echo "== $name took $((SECONDS - start)) s"
}

stage "build and test" "$root/build"
if [ "$quick" = 0 ]; then
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        stage "sanitizers" "$root/build-sanitize" --label-exclude readers -- -DPAPYRANT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
fi
if [ "$quick" = 0 ] && [ "$tsan" = 1 ]; then
    echo "== ThreadSanitizer"
    start=$SECONDS
    "$root/scripts/test-tsan.sh" "$root/build-tsan"
    echo "== ThreadSanitizer took $((SECONDS - start)) s"
fi
if [ "$windows" = 1 ]; then
    echo "== Windows (MinGW-w64 and Wine)"
    "$root/scripts/test-windows.sh" "$root/build-win32"
fi
if [ "$fuzz" = 1 ]; then
    echo "== fuzz"
    start=$SECONDS
    "$root/scripts/fuzz.sh" 60
    echo "== fuzz took $((SECONDS - start)) s"
fi
if [ "$package" = 1 ]; then
    echo "== Debian package"
    start=$SECONDS
    "$root/scripts/package.sh"
    echo "== Debian package took $((SECONDS - start)) s"
fi
