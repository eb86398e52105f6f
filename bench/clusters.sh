#!/usr/bin/env bash
# padprint on files that are one long cluster: a letter followed by 100,000 zero-width joiners, an emoji followed
# by 100,000 variation selectors-16, a letter followed by 100,000 combining grapheme joiners (about 300 KB each).
# Start-to-exit time (median of 3 runs) and peak memory of each; the cost should grow with the file, not with
# the square of the cluster's length.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
[ -x /usr/bin/time ] || install_packages time
source "$(dirname "$0")/lib/padprint.sh"

# A file of `first` followed by 100,000 copies of `bytes` (printf escapes), then "z".
generate_run() {
    local first=$1 bytes=$2 file=$3
    printf "$first" >"$file"
    local chunk
    chunk=$(printf "$bytes%.0s" $(seq 1000))
    for _ in $(seq 100); do printf '%s' "$chunk"; done >>"$file"
    printf 'z\n' >>"$file"
}
generate_run 'a' '\342\200\215' "$work/zwj.txt"
generate_run '\342\235\244' '\357\270\217' "$work/vs16.txt"
generate_run 'a' '\315\217' "$work/cgj.txt"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for name in zwj vs16 cgj; do
    set_output "$work/$name.pdf"
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -o "$work/time" "$bin/padprint" /p "$work/$name.txt"
        cat "$work/time"
    done >"$work/runs"
    pdftotext "$work/$name.pdf" - | grep -q z || { echo "clusters: no whole PDF for $name" >&2; exit 1; }
    seconds=$(awk '{ print $1 }' "$work/runs" | median)
    rss=$(awk '{ print $2 }' "$work/runs" | sort -n | tail -1)
    echo "clusters.${name}_run_seconds: $seconds s"
    echo "clusters.${name}_run_peak_rss: $(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }') MB"
done
