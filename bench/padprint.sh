#!/usr/bin/env bash
# padprint against its peers (enscript | ps2pdf, cups-filters' texttopdf) on the same generated files, taking
# turns: start-to-exit time of a 10 KB pure-ASCII file and of a 10 KB file in every script (median of 21 runs,
# with the latter's peak memory), and throughput, peak memory and PDF bytes per page on a 50 MB mostly-ASCII
# XML file (median of 3 runs). PADPRINT_BIN_DIR measures another build's padprint (for a before-and-after).
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
source "$(dirname "$0")/lib/records.sh"
texttopdf=/usr/lib/cups/filter/texttopdf
small_runs=21
large_runs=3

# The peers and the measuring tools, installed when missing.
need=()
command -v enscript >/dev/null || need+=(enscript)
command -v ps2pdf >/dev/null || need+=(ghostscript)
[ -x "$texttopdf" ] || need+=(cups-filters)
command -v pdfinfo >/dev/null || need+=(poppler-utils)
[ -x /usr/bin/time ] || need+=(time)
install_packages "${need[@]}"

source "$(dirname "$0")/lib/padprint.sh"

generate_records 10240 "$work/small-ascii.xml" ascii
generate_every_script "$work/small-mixed.xml"
generate_records 52428800 "$work/large.xml" accents
large_bytes=$(stat -c %s "$work/large.xml")

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_padprint() { "$bin/padprint" /p "$1"; }
run_enscript() { enscript -q -B -p - "$1" 2>/dev/null | ps2pdf - "$2"; }
run_texttopdf() { "$texttopdf" 1 bench bench 1 "" "$1" > "$2" 2>/dev/null; }
export -f run_padprint run_enscript run_texttopdf
export bin texttopdf

# One run: "seconds peak-MB" of a tool on a file.
timed_run() {
    local tool=$1 input=$2 out=$3
    [ "$tool" = padprint ] && set_output "$out"
    /usr/bin/time -f "%e %M" -o "$work/time" bash -c "run_$tool \"$input\" \"$out\""
    awk '{ printf "%s %.1f\n", $1, $2 / 1024 }' "$work/time"
}

# Median start-to-exit time of a small file, in ms.
small_median() {
    local tool=$1 input=$2 out=$work/small-$1.pdf
    [ "$tool" = padprint ] && set_output "$out"
    for _ in $(seq $small_runs); do
        local start end
        start=$(now_ns)
        "run_$tool" "$input" "$out"
        end=$(now_ns)
        echo $(((end - start) / 1000))
    done | median | awk '{ printf "%.1f", $1 / 1000 }'
}

pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
per_page() { awk -v b="$(stat -c %s "$1")" -v p="$(pages "$1")" 'BEGIN { printf "%.2f", b / p / 1024 }'; }
prefix() { [ "$1" = padprint ] && echo padprint || echo "padprint.$1"; }

tools=(padprint texttopdf enscript)
for tool in "${tools[@]}"; do
    echo "$(prefix $tool).small_ascii_median: $(small_median $tool "$work/small-ascii.xml") ms"
    echo "$(prefix $tool).small_mixed_median: $(small_median $tool "$work/small-mixed.xml") ms"
    read -r _ rss < <(timed_run $tool "$work/small-mixed.xml" "$work/mixed-$tool.pdf")
    echo "$(prefix $tool).small_mixed_peak_rss: $rss MB"
done

# The large file, the tools taking turns.
declare -A times rsses
for _ in $(seq $large_runs); do
    for tool in "${tools[@]}"; do
        read -r secs rss < <(timed_run $tool "$work/large.xml" "$work/large-$tool.pdf")
        times[$tool]+="$secs "
        rsses[$tool]+="$rss "
    done
done
declare -A seconds
for tool in "${tools[@]}"; do
    seconds[$tool]=$(tr ' ' '\n' <<<"${times[$tool]}" | grep . | median)
    rss=$(tr ' ' '\n' <<<"${rsses[$tool]}" | grep . | sort -n | tail -1)
    mbps=$(awk -v b="$large_bytes" -v s="${seconds[$tool]}" 'BEGIN { printf "%.2f", b / 1048576 / s }')
    echo "$(prefix $tool).large_mb_per_s: $mbps MB/s"
    echo "$(prefix $tool).large_peak_rss: $rss MB"
    echo "$(prefix $tool).large_pdf_bytes: $(stat -c %s "$work/large-$tool.pdf") bytes"
    echo "$(prefix $tool).size_per_page: $(per_page "$work/large-$tool.pdf") KB"
    echo "$(prefix $tool).large_pages: $(pages "$work/large-$tool.pdf") pages"
done
for peer in texttopdf enscript; do
    awk -v p="${seconds[$peer]}" -v o="${seconds[padprint]}" -v n="$peer" \
        'BEGIN { printf "padprint.speed_ratio_to_%s: %.2f x\n", n, p / o }'
done
