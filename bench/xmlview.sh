#!/usr/bin/env bash
# papyrant-convert's print-outs for reading against the plain print-out:
# - a 50 MB indented file: median of 3 runs, plain and with --xml=pretty,colour --header --line-numbers;
# - the same file as the pretty-printer lays it out (xmllint --format gives the same lines here), printed plain:
#   what printing that much text costs with no tokenizer, colour, header or numbers;
# - the same records on one line (50 MB): peak memory, plain and with --xml=pretty,colour.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
source "$(dirname "$0")/lib/records.sh"
[ -x /usr/bin/time ] || install_packages time
command -v xmllint >/dev/null || install_packages libxml2-utils
build_targets papyrant-convert
convert=$build/bin/papyrant-convert

work=$(mktemp -d /tmp/papyrant-xmlview-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

generate_records 52428800 "$work/large.xml"
tr -d '\n' < "$work/large.xml" > "$work/one-line.xml"
xmllint --format "$work/large.xml" > "$work/pretty.xml"

large_ms() {
    local source=$1
    shift
    for _ in 1 2 3; do
        local start
        start=$(now_ns)
        "$convert" -q "$@" -o "$work/out" "$source"
        echo $((($(now_ns) - start) / 1000000))
    done | median
}
plain_ms=$(large_ms "$work/large.xml")
styled_ms=$(large_ms "$work/large.xml" --xml=pretty,colour --header --line-numbers)
pretty_text_ms=$(large_ms "$work/pretty.xml")
echo "xmlview.large_plain_median: $plain_ms ms"
echo "xmlview.large_pretty_colour_header_numbers_median: $styled_ms ms"
echo "xmlview.large_pretty_text_plain_median: $pretty_text_ms ms"
slower() { awk -v a="$2" -v b="$3" -v name="$1" 'BEGIN { printf "xmlview.%s: %+.1f %%\n", name, 100 * (a - b) / b }'; }
slower large_slower_than_plain "$styled_ms" "$plain_ms"
slower pretty_text_plain_slower_than_plain "$pretty_text_ms" "$plain_ms"
slower large_slower_than_pretty_text_plain "$styled_ms" "$pretty_text_ms"

peak_kb() {
    /usr/bin/time -f "%M" -o "$work/rss" "$convert" -q "$@" -o "$work/out" "$work/one-line.xml"
    cat "$work/rss"
}
plain_kb=$(peak_kb)
styled_kb=$(peak_kb --xml=pretty,colour)
echo "xmlview.one_line_plain_peak_rss: $(awk -v k="$plain_kb" 'BEGIN { printf "%.1f", k / 1024 }') MB"
echo "xmlview.one_line_pretty_colour_peak_rss: $(awk -v k="$styled_kb" 'BEGIN { printf "%.1f", k / 1024 }') MB"
awk -v a="$styled_kb" -v b="$plain_kb" 'BEGIN { printf "xmlview.one_line_rss_over_plain: %+.1f MB\n", (a - b) / 1024 }'
