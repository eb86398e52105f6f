#!/usr/bin/env bash
# papyrant-convert against its peers, with the same number of parallel jobs (the number of cores):
# - 200 generated XML files (ASCII, accented Latin, Greek, Cyrillic, CJK, emoji, UTF-16, Latin-1, long lines):
#   files per second of one papyrant-convert run and of cups-filters' texttopdf run per file, and the share of
#   marker words of every script that pdftotext finds again in each tool's PDFs; and files per second with
#   --xml=pretty,colour --header --line-numbers;
# - 200 legacy-encoded files with and without a declaration: the cost of recognising the encoding;
# - 2,000 and 20,000 small files in a folder tree: time and peak memory;
# - a 50 MB file: median of 3 runs of papyrant-convert and of padprint.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
source "$(dirname "$0")/lib/records.sh"
bin=$build/bin
printer="Quillmark PDF Writer"
texttopdf=/usr/lib/cups/filter/texttopdf
jobs=$(nproc)

need=()
[ -x "$texttopdf" ] || need+=(cups-filters)
command -v pdftotext >/dev/null || need+=(poppler-utils)
[ -x /usr/bin/time ] || need+=(time)
install_packages "${need[@]}"

build_targets papyrant-convert padprint papyrant-platform

work=$(mktemp -d /tmp/papyrant-convert-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# --- 200 files of many scripts ---------------------------------------------------------------------------------
# Each kind: its text (UTF-8 here) and the marker words that must come back out of the PDF.
kinds=(ascii latin greek cyrillic cjk emoji utf16 latin1 long)
declare -A text=(
    [ascii]="Plain order lines: widget gadget sprocket"
    [latin]="Größe café señor Ærøskøbing"
    [greek]="Καλημέρα κόσμε Αθήνα"
    [cyrillic]="Привет мир Съешь Москва"
    [cjk]="中文字符 日本語テキスト 한국어"
    [emoji]="Party 😀 🎉 🚀 done"
    [utf16]="Ωμέγα Жизнь 漢字 Größe"
    [latin1]="Größe café naïve Øre"
    [long]="longline"
)
mkdir -p "$work/many" "$work/markers" "$work/out-convert" "$work/out-texttopdf"
for i in $(seq -w 0 199); do
    kind=${kinds[$((10#$i % ${#kinds[@]}))]}
    name=$kind-$i
    encoding=UTF-8
    [ "$kind" = latin1 ] && encoding=ISO-8859-1
    [ "$kind" = utf16 ] && encoding=UTF-16
    awk -v text="${text[$kind]}" -v id="$i" -v kind="$kind" -v enc="$encoding" 'BEGIN {
        printf "<?xml version=\"1.0\" encoding=\"%s\"?>\n<doc id=\"%s\">\n", enc, id
        if (kind == "long") {
            line = "  <para>longlinestart"
            for (w = 0; w < 900; w++) line = line " word" w
            print line " longlineend</para>"
        }
        for (r = 0; r < 40; r++)
            printf "  <line n=\"%d\">%s %d</line>\n", r, text, id * 100 + r
        print "</doc>"
    }' > "$work/$name.utf8"
    case $kind in
    utf16) iconv -f UTF-8 -t UTF-16 "$work/$name.utf8" > "$work/many/$name.xml" ;;
    latin1) iconv -f UTF-8 -t ISO-8859-1 "$work/$name.utf8" > "$work/many/$name.xml" ;;
    *) cp "$work/$name.utf8" "$work/many/$name.xml" ;;
    esac
    rm "$work/$name.utf8"
    if [ "$kind" = long ]; then
        printf 'longlinestart\nword450\nlonglineend\n' > "$work/markers/$name"
    else
        tr ' ' '\n' <<<"${text[$kind]}" > "$work/markers/$name"
    fi
done

start=$(now_ns)
"$bin/papyrant-convert" -q -j "$jobs" -o "$work/out-convert" "$work/many"
convert_ns=$(($(now_ns) - start))

# The same files printed for reading: the options add work per line and per page.
readable=(--xml=pretty,colour --header --line-numbers)
mkdir -p "$work/out-readable"
start=$(now_ns)
"$bin/papyrant-convert" -q -j "$jobs" "${readable[@]}" -o "$work/out-readable" "$work/many"
readable_ns=$(($(now_ns) - start))

# One texttopdf a file, started by the lightest shell (for its output redirection), as many at once as jobs.
start=$(now_ns)
find "$work/many" -name '*.xml' -print0 | xargs -0 -P "$jobs" -I{} \
    sh -c '"$0" 1 bench bench 1 "" "$1" > "$2/${1##*/}.pdf" 2>/dev/null' "$texttopdf" {} "$work/out-texttopdf"
texttopdf_ns=$(($(now_ns) - start))

# The share of marker words found again (white space removed from both sides, since wrapping moves it).
kept() {
    local out=$1 found=0 total=0 name text pdf
    for marker_file in "$work"/markers/*; do
        name=$(basename "$marker_file")
        pdf=$out/$name.pdf
        [ -f "$pdf" ] || pdf=$out/$name.xml.pdf
        text=$(pdftotext -enc UTF-8 "$pdf" - 2>/dev/null | tr -d ' \n\f\t' || true)
        while read -r marker; do
            [ -n "$marker" ] || continue
            total=$((total + 1))
            [[ $text == *"$marker"* ]] && found=$((found + 1))
        done < "$marker_file"
    done
    awk -v f=$found -v t=$total 'BEGIN { printf "%.1f", 100 * f / t }'
}

per_s() { awk -v n="$1" -v ns="$2" 'BEGIN { printf "%.1f", n / (ns / 1e9) }'; }
convert_rate=$(per_s 200 $convert_ns)
texttopdf_rate=$(per_s 200 $texttopdf_ns)
echo "convert.jobs: $jobs jobs"
echo "convert.mixed_files_per_s: $convert_rate files/s"
echo "convert.texttopdf.mixed_files_per_s: $texttopdf_rate files/s"
awk -v a="$convert_rate" -v b="$texttopdf_rate" 'BEGIN { printf "convert.ratio_to_texttopdf: %.2f x\n", a / b }'
readable_rate=$(per_s 200 $readable_ns)
echo "convert.mixed_pretty_colour_header_numbers_files_per_s: $readable_rate files/s"
awk -v a="$readable_rate" -v b="$texttopdf_rate" \
    'BEGIN { printf "convert.pretty_colour_header_numbers_ratio_to_texttopdf: %.2f x\n", a / b }'
echo "convert.mixed_markers_kept: $(kept "$work/out-convert") %"
echo "convert.texttopdf.mixed_markers_kept: $(kept "$work/out-texttopdf") %"

# --- what recognising an undeclared legacy encoding costs -------------------------------------------------------
# 200 files in five legacy encodings, once without a declaration (read to check for UTF-8, then uchardet) and
# once declaring their encoding; the difference per file is the cost of detection.
declare -A legacy=(
    [CP1251]="Привет мир Съешь ещё этих мягких французских булок"
    [ISO-8859-7]="Καλημέρα κόσμε Αθήνα Θεσσαλονίκη"
    [SHIFT_JIS]="日本語のテキストです 東京 大阪"
    [GBK]="中文字符测试 北京 上海"
    [CP1252]="Größe café señor Ærøskøbing “quoted”"
)
mkdir -p "$work/undeclared" "$work/declared"
encodings=("${!legacy[@]}")
for i in $(seq -w 0 199); do
    encoding=${encodings[$((10#$i % ${#encodings[@]}))]}
    awk -v text="${legacy[$encoding]}" -v id="$i" 'BEGIN {
        printf "<doc id=\"%s\">\n", id
        for (r = 0; r < 40; r++) printf "  <line n=\"%d\">%s %d</line>\n", r, text, id * 100 + r
        print "</doc>"
    }' | iconv -f UTF-8 -t "$encoding" > "$work/undeclared/legacy-$i.xml"
    { printf '<?xml version="1.0" encoding="%s"?>\n' "$encoding"; cat "$work/undeclared/legacy-$i.xml"; } \
        > "$work/declared/legacy-$i.xml"
done
legacy_ns() {
    local best=""
    for _ in 1 2 3; do
        rm -rf "$work/legacy-out"
        local start
        start=$(now_ns)
        "$bin/papyrant-convert" -q -j "$jobs" -o "$work/legacy-out" "$1"
        local took=$(($(now_ns) - start))
        if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    echo "$best"
}
undeclared_ns=$(legacy_ns "$work/undeclared")
declared_ns=$(legacy_ns "$work/declared")
echo "convert.undeclared_legacy_files_per_s: $(per_s 200 "$undeclared_ns") files/s"
echo "convert.declared_legacy_files_per_s: $(per_s 200 "$declared_ns") files/s"
awk -v u="$undeclared_ns" -v d="$declared_ns" -v j="$jobs" \
    'BEGIN { printf "convert.detection_cost: %+.2f ms a file (CPU time, %d jobs)\n", (u - d) * j / 200 / 1e6, j }'

# --- small files in a tree -------------------------------------------------------------------------------------
# $1 folders of 200 files each, a few records a file.
make_tree() {
    awk -v folders="$1" -v dir="$2" 'BEGIN {
        for (d = 0; d < folders; d++) {
            system("mkdir -p " dir "/d" d)
            for (f = 0; f < 200; f++) {
                path = sprintf("%s/d%d/n%03d-%05d.xml", dir, d, d, d * 200 + f)
                printf "<?xml version=\"1.0\"?>\n<n id=\"%d\">\n", f > path
                for (r = 0; r < 5; r++) printf "  <r>%d café %d</r>\n", r, d * f + r > path
                print "</n>" > path
                close(path)
            }
        }
    }'
}
tree_run() {
    local count=$1 folders=$(($1 / 200))
    make_tree $folders "$work/tree$count"
    /usr/bin/time -f "%e %M" -o "$work/time$count" \
        "$bin/papyrant-convert" -q -j "$jobs" -o "$work/tree-out$count" "$work/tree$count"
    local made
    made=$(find "$work/tree-out$count" -name '*.pdf' | wc -l)
    read -r secs rss < "$work/time$count"
    echo "convert.tree_${count}_made: $made PDFs"
    echo "convert.tree_${count}_files_per_s: $(awk -v n="$count" -v s="$secs" 'BEGIN { printf "%.1f", n / s }') files/s"
    echo "convert.tree_${count}_peak_rss: $(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }') MB"
    echo "$rss" > "$work/rss$count"
    rm -rf "$work/tree$count" "$work/tree-out$count"
}
tree_run 2000
tree_run 20000
awk -v a="$(cat "$work/rss2000")" -v b="$(cat "$work/rss20000")" \
    'BEGIN { printf "convert.tree_memory_20000_over_2000: %+.1f %%\n", 100 * (b - a) / a }'

# --- one 50 MB file --------------------------------------------------------------------------------------------
generate_records 52428800 "$work/large.xml"
export XDG_CONFIG_HOME=$work/config
"$bin/papyrant-platform" add-printer "$printer" >/dev/null
"$bin/papyrant-platform" set-default "$printer" >/dev/null
"$bin/papyrant-platform" reg set HKCU "Software\\$printer" OutputFile "$work/large-padprint.pdf" >/dev/null
"$bin/papyrant-platform" reg set HKCU "Software\\$printer" BypassSaveAs 1 >/dev/null
large_ms() {
    for _ in 1 2 3; do
        local start
        start=$(now_ns)
        "$@" >/dev/null
        echo $((($(now_ns) - start) / 1000000))
    done | median
}
convert_ms=$(large_ms "$bin/papyrant-convert" -q -o "$work/large-out" "$work/large.xml")
padprint_ms=$(large_ms "$bin/padprint" /p "$work/large.xml")
echo "convert.large_median: $convert_ms ms"
echo "convert.padprint.large_median: $padprint_ms ms"
awk -v a="$convert_ms" -v b="$padprint_ms" 'BEGIN { printf "convert.large_slower_than_padprint: %+.1f %%\n", 100 * (a - b) / b }'
