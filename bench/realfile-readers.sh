#!/usr/bin/env bash
# Words a real file nobody here wrote loses in each PDF reader: freedesktop.org.xml (comments in dozens of
# languages, right-to-left ones among them) printed by papyrant-convert and read back by the readers test's eight
# readers. A word counts as lost for every time it occurs in the source more often than in the reader's text,
# as the readers test counts it, with its excuses (the bidi marks poppler adds, say); right-to-left words (those
# with a Hebrew or Arabic letter) are counted apart, since how a right-to-left run is drawn trades one reader's
# losses against another's. Rows wrapped inside a word lose that word in every reader.
# Prints "realfile_readers.READER.words_lost: N of M" and ".rtl_words_lost: N of M".
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
build_targets papyrant-convert
source=/usr/share/mime/packages/freedesktop.org.xml
[ -f "$source" ] || install_packages shared-mime-info
work=$(mktemp -d /tmp/papyrant-realfile-readers-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$source" "$work/freedesktop.org.xml"
"$build/bin/papyrant-convert" -q -o "$work" "$work/freedesktop.org.xml"

/usr/bin/python3 - "$root/tests/readers" "$build/readers-npm" "$work" <<'PY'
import concurrent.futures, os, sys, unicodedata
readers_dir, npm_dir, work = sys.argv[1:4]
sys.path.insert(0, readers_dir)
import readers_test

readers_test.install_npm(npm_dir)
pdf = os.path.join(work, "freedesktop.org.pdf")
with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
    tasks = readers_test.read_tasks([pdf], work, npm_dir)
    for future in [pool.submit(readers_test.run, command, cwd=cwd) for command, cwd in tasks]:
        future.result()

def right_to_left(word):
    return any(unicodedata.bidirectional(c) in ("R", "AL") for c in word)

expected = readers_test.read_text(os.path.join(work, "freedesktop.org.xml"))
words = expected.split()
total = len(words)
rtl_total = sum(1 for word in words if right_to_left(word))
for reader in readers_test.READERS:
    text = readers_test.read_text(os.path.join(work, "freedesktop.org.%s.txt" % reader))
    lost = readers_test.losses(reader, expected, text)[2]
    rtl_lost = sum(n for word, n in lost.items() if right_to_left(word))
    print("realfile_readers.%s.words_lost: %d of %d" % (reader, sum(lost.values()), total))
    print("realfile_readers.%s.rtl_words_lost: %d of %d" % (reader, rtl_lost, rtl_total))
PY
