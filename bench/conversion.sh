#!/usr/bin/env bash
# "Start Converting" on 200 small generated XML files with the real conversion run, registry, printers,
# ShellAndWait and padprint, in a configuration folder of its own: the time per file, from press to "Done.".
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
bin=$build/bin
files=200

build_targets conversion-bench padprint papyrant-platform

work=$(mktemp -d /tmp/papyrant-conversion-XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$bin/papyrant-platform" setup >/dev/null
mkdir -p "$work/in" "$work/out"

# Deterministic small XML files of a few records each.
awk -v n="$files" -v dir="$work/in" 'BEGIN {
    for (f = 1; f <= n; f++) {
        path = sprintf("%s/order-%03d.xml", dir, f)
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" > path
        print "<order id=\"" f "\">" > path
        for (r = 0; r < 8; r++)
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
awk '/^per_file_ms/ { printf "conversion.per_file: %.1f ms\n", $2 }' <<<"$result"
made=$(find "$work/out" -name '*.pdf' | wc -l)
failed=$(awk '/could not be converted/ { print $1 }' "$work/errors")
echo "conversion.failed: ${failed:-0} files"
# The run's own message names the failed files; the word pad's complaints say why.
if [ "$status" -ne 0 ] || [ "$made" -ne "$files" ]; then
    tr -d '\r' <"$work/errors" | grep -vE '^(/|Done\.|$|[0-9]+ of )' | sort | uniq -c | sort -rn | head -5 >&2
    exit 1
fi
