#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for SECONDS (default 60) on a copy of its
# seed corpus, so the committed corpus never changes. Fails when any target finds a crash, a leak, undefined
# behaviour or a broken property; the input that did it is kept under build-fuzz/findings/<target>/.
# --long runs by hand for longer (default 1800 s each) and keeps the grown corpora in build-fuzz/long-corpus, so
# the next long run goes on from there. FUZZ_TARGETS="a b" runs only those targets; PAPYRANT_BUILD_LOCK names a
# lock file that serialises the build with other users of the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
work=$build/corpus
seconds=60
if [ "${1:-}" = --long ]; then
    work=$build/long-corpus
    seconds=1800
    shift
fi
seconds=${1:-$seconds}
case "$seconds" in
'' | *[!0-9]*) echo "usage: scripts/fuzz.sh [--long] [SECONDS]" >&2; exit 2 ;;
esac
targets=(${FUZZ_TARGETS:-command_line_fuzz text_decoder_fuzz print_text_fuzz xml_view_fuzz path_helpers_fuzz drop_data_fuzz registry_fuzz})
# The renderer's two targets share one slot of time, so that the whole run takes as long as it did before the
# XML view had its own.
time_of() {
    case $1 in
    print_text_fuzz | xml_view_fuzz) echo $(((seconds + 1) / 2)) ;;
    *) echo "$seconds" ;;
    esac
}

"$root/scripts/setup-deps.sh" --fuzz
lock=()
[ -n "${PAPYRANT_BUILD_LOCK:-}" ] && lock=(flock "$PAPYRANT_BUILD_LOCK")
start=$SECONDS
"${lock[@]}" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPAPYRANT_FUZZ=ON \
    -DPAPYRANT_WITH_GUI=OFF -DPAPYRANT_TESTS=OFF -DPAPYRANT_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
"${lock[@]}" cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
echo "fuzz build took $((SECONDS - start)) s"

failed=()
for target in "${targets[@]}"; do
    corpus=$work/$target
    findings=$build/findings/$target
    mkdir -p "$corpus" "$findings"
    # A copy: libFuzzer adds what it finds to the first corpus folder it is given.
    cp -n "$root/tests/fuzz/corpus/$target/"* "$corpus/"
    # The renderer also starts from the shipped samples.
    [ "$target" = print_text_fuzz ] && cp -n "$root/assets/Samples/"* "$corpus/"
    # A target's dictionary (tests/fuzz/TARGET.dict) names the tokens its input is made of.
    dict=()
    [ -f "$root/tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
    echo "== fuzz $target for $(time_of "$target") s"
    log=$build/findings/$target.log
    # Leaks are checked, but not the caches fontconfig and the shaping libraries keep for the process (the
    # suppressions the sanitizer stage uses).
    if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
        "$build/fuzz/$target" "${dict[@]}" -max_total_time="$(time_of "$target")" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$log" || true
    else
        tail -n 40 "$log"
        echo "!! $target failed; the input is in $findings/" >&2
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
