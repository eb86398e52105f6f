#!/usr/bin/env bash
# Soak: "Start Converting" on 2,000 generated XML files in one run, with the real conversion run, registry,
# printers, run lock, ShellAndWait and padprint, in a configuration folder of its own. Reports what the run kept
# of the program's resources: resident memory growth beyond the list's own (from before the run, and from after
# the first 100 files), open descriptors, child processes left, and the time per file. Takes some minutes.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
bin=$build/bin
files=${SOAK_FILES:-2000}

build_targets conversion-bench padprint papyrant-platform

work=$(mktemp -d /tmp/papyrant-soak-XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$bin/papyrant-platform" setup >/dev/null
mkdir -p "$work/in" "$work/out"

# Deterministic XML files of a few records each, some longer than a page.
awk -v n="$files" -v dir="$work/in" 'BEGIN {
    for (f = 1; f <= n; f++) {
        path = sprintf("%s/order-%04d.xml", dir, f)
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" > path
        print "<order id=\"" f "\">" > path
        lines = 8 + (f % 7 == 0 ? 80 : 0)
        for (r = 0; r < lines; r++)
            printf "  <line item=\"%d\" quantity=\"%d\">item %d of order %d</line>\n", r, (f * 31 + r) % 97, r, f > path
        print "</order>" > path
        close(path)
    }
}'

status=0
result=$("$build/bench/conversion-bench" "$work/in" "$work/out" 2>"$work/errors") || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    cat "$work/errors" >&2
    exit 1
fi
figure() { awk -v name="$1" '$1 == name { print $2 }' <<<"$result"; }
awk -v before="$(figure rss_before_kb)" -v warm="$(figure rss_warm_kb)" -v after="$(figure rss_after_kb)" \
    -v list="$(figure list_kb)" 'BEGIN {
    printf "soak.list: %.2f MB\n", list / 1024
    printf "soak.rss_before: %.1f MB\n", before / 1024
    printf "soak.rss_growth: %.2f MB\n", (after - before) / 1024
    printf "soak.rss_growth_after_100_files: %.2f MB\n", (after - warm) / 1024
}'
echo "soak.fds_leaked: $(($(figure fds_after) - $(figure fds_before)))"
echo "soak.children_left: $(figure children_left)"
awk '/^per_file_ms/ { printf "soak.per_file: %.1f ms\n", $2 }' <<<"$result"
made=$(find "$work/out" -name '*.pdf' | wc -l)
echo "soak.converted: $made of $files files"
strays=$(find "$work/out" -type f ! -name '*.pdf' | wc -l)
echo "soak.stray_files: $strays"
if [ "$status" -ne 0 ] || [ "$made" -ne "$files" ] || [ "$strays" -ne 0 ]; then
    tr -d '\r' <"$work/errors" | head -5 >&2
    exit 1
fi
