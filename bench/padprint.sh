#!/usr/bin/env bash
# padprint against its peers (enscript | ps2pdf, cups-filters' texttopdf) on the same generated XML files:
# start-to-exit time for a 10 KB file (median of 21 runs), throughput and peak memory on a 50 MB file, and
# PDF bytes per page.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
source "$(dirname "$0")/lib/records.sh"
bin=$build/bin
printer="Quillmark PDF Writer"
texttopdf=/usr/lib/cups/filter/texttopdf
small_runs=21

# The peers and the measuring tools, installed when missing.
need=()
command -v enscript >/dev/null || need+=(enscript)
command -v ps2pdf >/dev/null || need+=(ghostscript)
[ -x "$texttopdf" ] || need+=(cups-filters)
command -v pdfinfo >/dev/null || need+=(poppler-utils)
[ -x /usr/bin/time ] || need+=(time)
install_packages "${need[@]}"

build_targets padprint papyrant-platform

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$bin/papyrant-platform" add-printer "$printer" >/dev/null
"$bin/papyrant-platform" set-default "$printer" >/dev/null
set_output() {
    "$bin/papyrant-platform" reg set HKCU "Software\\$printer" OutputFile "$1" >/dev/null
    "$bin/papyrant-platform" reg set HKCU "Software\\$printer" BypassSaveAs 1 >/dev/null
}

generate_records 10240 "$work/small.xml"
generate_records 52428800 "$work/large.xml"
large_bytes=$(stat -c %s "$work/large.xml")

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_padprint() { "$bin/padprint" /p "$1"; }
run_enscript() { enscript -q -B -p - "$1" 2>/dev/null | ps2pdf - "$2"; }
run_texttopdf() { "$texttopdf" 1 bench bench 1 "" "$1" > "$2" 2>/dev/null; }

# Median start-to-exit time of a small file, in ms.
small_median() {
    local tool=$1 out=$work/small-$1.pdf
    [ "$tool" = padprint ] && set_output "$out"
    for _ in $(seq $small_runs); do
        local start end
        start=$(now_ns)
        "run_$tool" "$work/small.xml" "$out"
        end=$(now_ns)
        echo $(((end - start) / 1000))
    done | median | awk '{ printf "%.1f", $1 / 1000 }'
}

# Time (s) and peak memory (MB) of the large file, one process per run as the launcher runs it.
large_run() {
    local tool=$1 out=$work/large-$1.pdf
    [ "$tool" = padprint ] && set_output "$out"
    export -f "run_$tool"
    export bin texttopdf
    /usr/bin/time -f "%e %M" -o "$work/time-$tool" bash -c "run_$tool \"$work/large.xml\" \"$out\""
    awk '{ printf "%s %.1f\n", $1, $2 / 1024 }' "$work/time-$tool"
}

pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
per_page() { awk -v b="$(stat -c %s "$1")" -v p="$(pages "$1")" 'BEGIN { printf "%.2f", b / p / 1024 }'; }

declare -A seconds
for tool in padprint enscript texttopdf; do
    small=$(small_median $tool)
    read -r secs rss < <(large_run $tool)
    seconds[$tool]=$secs
    mbps=$(awk -v b="$large_bytes" -v s="$secs" 'BEGIN { printf "%.2f", b / 1048576 / s }')
    prefix=padprint
    [ $tool = padprint ] || prefix=padprint.$tool
    echo "$prefix.small_file_median: $small ms"
    echo "$prefix.large_mb_per_s: $mbps MB/s"
    echo "$prefix.large_peak_rss: $rss MB"
    echo "$prefix.size_per_page: $(per_page "$work/large-$tool.pdf") KB"
    echo "$prefix.large_pages: $(pages "$work/large-$tool.pdf") pages"
done
for peer in enscript texttopdf; do
    awk -v p="${seconds[$peer]}" -v o="${seconds[padprint]}" -v n="$peer" \
        'BEGIN { printf "padprint.ratio_to_%s: %.2f x\n", n, p / o }'
done
