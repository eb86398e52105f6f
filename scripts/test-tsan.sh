#!/usr/bin/env bash
# Builds the threaded parts with ThreadSanitizer and runs their tests: the renderer (whose PDF writer compresses on
# a second thread), padprint, and papyrant-convert (whose workers share font faces, HarfBuzz fonts and fontconfig
# sets). The programs the end-to-end tests start are built with it too, so a race in them fails their test.
# Usage: scripts/test-tsan.sh [BUILD_DIR]   (default: build-tsan)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-tsan}
cmake -S "$root" -B "$dir" -G Ninja -DPAPYRANT_WERROR=ON -DPAPYRANT_TSAN=ON -DPAPYRANT_WITH_GUI=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)" --target padprint papyrant-convert papyrant-platform print_tests print_e2e_tests \
    padprint_tests padprint_e2e_tests convert_tests convert_e2e_tests
# The tests of those executables, by their suites.
suites='^(TextDecoder|PrintableLines|PaperSize|PdfWriter|PdfDocument|MergedPdf|SampleRendering|PadprintCommand|PadprintEndToEnd|ConvertOptions|ConvertPlan|ConvertReport|ConvertEndToEnd)\.'
# Left out: a process at its limit of processes cannot start the sanitizer's own thread, so that test would
# measure the sanitizer (it runs in every other build).
skip='^PdfWriter\.WithoutThreadsToBeHadTheDocumentIsWrittenOnTheCallersThread$'
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp"
cd "$dir"
ctest --output-on-failure -j 4 --timeout 600 --no-tests=error -R "$suites" -E "$skip"
