#!/usr/bin/env bash
# "Add All XML File(s) In Folder" on a generated tree of 20,000 folders and 100,000 files (a third XML, some
# spelt .XML), from pick to last entry, against `find TREE -iname '*.xml'` in the same run (medians of 7 runs on
# a warm cache, taking turns); the longest stretch between two yields of the scan; and the time of AddTreeFiles
# after the scan, which does not yield.
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
runs=7
folders=20000
files=100000

build_targets scan-bench
bench=$build/bench/scan-bench

work=$(mktemp -d /tmp/papyrant-scan-XXXXXX)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
"$bench" generate "$tree" "$folders" "$files"

now_ns() { date +%s%N; }
median() { sort -n | sed -n "$((runs / 2 + 1))p"; }

# find and the scan take turns, so that whatever else the machine does weighs on both alike.
find "$tree" -iname '*.xml' >/dev/null # warm the cache for both
find_times=() scan_times=() add_times=() gaps=()
for _ in $(seq "$runs"); do
    start=$(now_ns)
    find_count=$(find "$tree" -iname '*.xml' | wc -l)
    end=$(now_ns)
    find_times+=($(((end - start) / 1000)))
    result=$("$bench" measure "$tree" 1)
    entries=$(awk '/^entries/ {print $2}' <<<"$result")
    scan_times+=($(awk '/^median_ms/ {print $2}' <<<"$result"))
    gaps+=($(awk '/^max_yield_gap_ms/ {print $2}' <<<"$result"))
    add_times+=($(awk '/^add_tree_files_ms/ {print $2}' <<<"$result"))
    if [ "$entries" != "$find_count" ]; then
        echo "scan found $entries XML files, find found $find_count" >&2
        exit 1
    fi
done
find_us=$(printf '%s\n' "${find_times[@]}" | median)
scan_ms=$(printf '%s\n' "${scan_times[@]}" | median)
add_ms=$(printf '%s\n' "${add_times[@]}" | median)
gap_ms=$(printf '%s\n' "${gaps[@]}" | sort -n | tail -1)

awk -v scan="$scan_ms" -v find_us="$find_us" -v gap="$gap_ms" -v add="$add_ms" 'BEGIN {
    printf "scan.add_folder: %.0f ms\n", scan
    printf "scan.find: %.0f ms\n", find_us / 1000
    printf "scan.ratio_to_find: %.2f x\n", scan / (find_us / 1000)
    printf "scan.max_yield_gap: %.1f ms\n", gap
    printf "scan.add_tree_files_without_yield: %.0f ms\n", add
}'
