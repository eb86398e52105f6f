#!/usr/bin/env bash
# Builds the Debian package (a Release build in build-deb, without tests), checks it with dpkg-deb and lintian,
# unpacks it into a scratch root and proves that the installed programs work there: papyrant-platform setup,
# padprint /p on a sample into a PDF, and the window starting offscreen. Fails on a lintian error.
# PAPYRANT_BUILD_LOCK names a lock file that serialises the build with other users of the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-deb

"$root/scripts/setup-deps.sh"
"$root/scripts/setup-deps.sh" --package
lock=()
[ -n "${PAPYRANT_BUILD_LOCK:-}" ] && lock=(flock "$PAPYRANT_BUILD_LOCK")
# Debian's hardening flags, as a package built by Debian's tools would have them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
"${lock[@]}" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DPAPYRANT_TESTS=OFF -DPAPYRANT_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
"${lock[@]}" cmake --build "$build" -j "$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && "${lock[@]}" cpack -G DEB >/dev/null)
package=$(ls "$build"/*.deb)
echo "== $package"
dpkg-deb --info "$package"

fail() {
    echo "package: $*" >&2
    exit 1
}

contents=$(dpkg-deb --contents "$package" | awk '{print $6 $7 $8}')
for expected in ./usr/bin/papyrant-\>../lib/papyrant/papyrant ./usr/bin/padprint-\>../lib/papyrant/padprint \
    ./usr/bin/papyrant-platform-\>../lib/papyrant/papyrant-platform \
    ./usr/bin/papyrant-convert-\>../lib/papyrant/papyrant-convert ./usr/share/man/man1/papyrant-convert.1.gz \
    ./usr/share/bash-completion/completions/papyrant-convert ./usr/lib/papyrant/HAND-M.CUR \
    ./usr/lib/papyrant/drag.ico ./usr/lib/papyrant/x/o.cjs ./usr/lib/papyrant/Samples/invoice.xml \
    ./usr/share/applications/papyrant.desktop ./usr/share/icons/hicolor/scalable/apps/papyrant.svg \
    ./usr/share/doc/papyrant/copyright ./usr/share/doc/papyrant/changelog.Debian.gz; do
    grep -qxF -- "$expected" <<<"$contents" || fail "missing $expected"
done
# Only the four programs are executables: no test or benchmark program was packaged.
programs=$(dpkg-deb --contents "$package" | awk '$1 ~ /^-..x/ {print $6}' | sort | tr '\n' ' ')
[ "$programs" = "./usr/lib/papyrant/padprint ./usr/lib/papyrant/papyrant ./usr/lib/papyrant/papyrant-convert ./usr/lib/papyrant/papyrant-platform " ] ||
    fail "unexpected programs: $programs"
depends=$(dpkg-deb --field "$package" Depends)
for library in fonts-dejavu-core libqt6widgets6 libqt6dbus6 libharfbuzz-subset0 libfribidi0 libicu72 libdeflate0 libsqlite3-0 libuchardet0; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
recommends=$(dpkg-deb --field "$package" Recommends)
for font in fonts-wqy-microhei fonts-lohit-deva fonts-tlwg-typo-ttf fonts-symbola fonts-hosny-amiri; do
    grep -q "$font" <<<"$recommends" || fail "Recommends lacks $font: $recommends"
done

if command -v lintian >/dev/null; then
    echo "== lintian"
    # Errors fail the stage; warnings and information are reported (the missing manual pages, for example).
    findings=$(lintian --display-info --pedantic "$package" 2>&1 | grep -E '^[EWIP]: ' || true)
    [ -n "$findings" ] && echo "$findings" | sort -u
    if grep -q '^E: ' <<<"$findings"; then
        fail "lintian reports errors"
    fi
fi

echo "== installed into a scratch root"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$package" "$scratch/root"
mkdir -p "$scratch/config" "$scratch/home" "$scratch/out"
export XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home
bin=$scratch/root/usr/bin
"$bin/papyrant-platform" setup
wordpad=$("$bin/papyrant-platform" reg get HKCR 'Wordpad.Document.1\Protocol\StdFileEditing\Server')
[ "$wordpad" = "\"$scratch/root/usr/lib/papyrant/padprint\"" ] || fail "setup registered $wordpad"
"$bin/papyrant-platform" reg set HKCU 'Software\Quillmark PDF Writer' OutputFile "$scratch/out/invoice.pdf"
"$bin/papyrant-platform" reg set HKCU 'Software\Quillmark PDF Writer' BypassSaveAs 1
"$bin/padprint" /p "$scratch/root/usr/lib/papyrant/Samples/invoice.xml"
pdftotext "$scratch/out/invoice.pdf" - | grep -q "invoice" || fail "the PDF lacks the sample's text"
echo "padprint printed $(pdfinfo "$scratch/out/invoice.pdf" | awk '/^Pages:/ {print $2}') page(s) of the invoice sample"
# The README's example: the samples, every PDF in one folder, a report of each file.
"$bin/papyrant-convert" -o "$scratch/out/batch" --json "$scratch/out/batch.json" "$scratch/root/usr/lib/papyrant/Samples"
[ "$(grep -c '"status":"converted"' "$scratch/out/batch.json")" -ge 6 ] || fail "papyrant-convert did not convert the samples"
pdftotext "$scratch/out/batch/invoice.pdf" - | grep -q "invoice" || fail "papyrant-convert's PDF lacks the sample's text"
echo "papyrant-convert converted $(ls "$scratch/out/batch" | wc -l) samples"

QT_QPA_PLATFORM=offscreen timeout 5 "$bin/papyrant" >"$scratch/papyrant.log" 2>&1 &
window=$!
sleep 2
if ! kill -0 "$window" 2>/dev/null; then
    cat "$scratch/papyrant.log" >&2
    fail "papyrant did not keep running"
fi
kill "$window"
wait "$window" || true
echo "papyrant started from the package and ran until stopped"
