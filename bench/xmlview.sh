#!/usr/bin/env bash
# papyrant-convert's print-outs for reading against the plain print-out:
# - a 50 MB indented file: median of 3 runs, plain and with --xml=pretty,colour --header --line-numbers;
# - the same records on one line (50 MB): peak memory, plain and with --xml=pretty,colour.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
source "$(dirname "$0")/lib/records.sh"
[ -x /usr/bin/time ] || install_packages time
build_targets papyrant-convert
convert=$build/bin/papyrant-convert

work=$(mktemp -d /tmp/papyrant-xmlview-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

generate_records 52428800 "$work/large.xml"
tr -d '\n' < "$work/large.xml" > "$work/one-line.xml"

large_ms() {
    for _ in 1 2 3; do
        local start
        start=$(now_ns)
        "$convert" -q "$@" -o "$work/out" "$work/large.xml"
        echo $((($(now_ns) - start) / 1000000))
    done | median
}
plain_ms=$(large_ms)
styled_ms=$(large_ms --xml=pretty,colour --header --line-numbers)
echo "xmlview.large_plain_median: $plain_ms ms"
echo "xmlview.large_pretty_colour_header_numbers_median: $styled_ms ms"
awk -v a="$styled_ms" -v b="$plain_ms" 'BEGIN { printf "xmlview.large_slower_than_plain: %+.1f %%\n", 100 * (a - b) / b }'

peak_kb() {
    /usr/bin/time -f "%M" -o "$work/rss" "$convert" -q "$@" -o "$work/out" "$work/one-line.xml"
    cat "$work/rss"
}
plain_kb=$(peak_kb)
styled_kb=$(peak_kb --xml=pretty,colour)
echo "xmlview.one_line_plain_peak_rss: $(awk -v k="$plain_kb" 'BEGIN { printf "%.1f", k / 1024 }') MB"
echo "xmlview.one_line_pretty_colour_peak_rss: $(awk -v k="$styled_kb" 'BEGIN { printf "%.1f", k / 1024 }') MB"
awk -v a="$styled_kb" -v b="$plain_kb" 'BEGIN { printf "xmlview.one_line_rss_over_plain: %+.1f MB\n", (a - b) / 1024 }'
