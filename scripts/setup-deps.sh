#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Papyrant need, when any is missing.
# --windows installs instead what the Windows stage of the tests and scripts/package-windows.sh need: the
# MinGW-w64 cross compiler; what building the MinGW Qt takes (the host's Qt for its tools, and apt-get source
# with dpkg-source and Debian's keys for the source); NSIS for the installer; Wine, with Liberation Sans for Arial;
# and Xvfb, xdotool, the X utilities and ImageMagick to drive the window under Wine and keep its picture.
# --fuzz what the fuzz stage needs (clang with libFuzzer); --package what the Debian package stage needs.
set -euo pipefail

build_tools=(build-essential cmake ninja-build pkg-config)
windows_packages=(
    "${build_tools[@]}" g++-mingw-w64-x86-64-posix googletest
    qt6-base-dev dpkg-dev debian-archive-keyring
    nsis wine wine64 fonts-wine fonts-liberation
    xvfb xauth xdotool x11-utils imagemagick
)
fuzz_packages=(clang libclang-rt-14-dev)
package_packages=(dpkg-dev lintian)

# The faces the print-outs fall back to, all TrueType, chosen for coverage per megabyte (see the README).
print_fonts=(
    fonts-wqy-microhei fonts-ipafont-gothic fonts-naver-d2coding fonts-arphic-bsmi00lp
    fonts-lohit-deva fonts-lohit-beng-bengali fonts-lohit-guru fonts-lohit-gujr fonts-lohit-orya
    fonts-lohit-taml fonts-lohit-telu fonts-lohit-knda fonts-lohit-mlym
    fonts-tlwg-typo-ttf fonts-symbola fonts-hosny-amiri
)

packages=(
    "${build_tools[@]}"
    qt6-base-dev libqt6svg6 libgl-dev libgtest-dev libgmock-dev libsqlite3-dev
    libharfbuzz-dev libfribidi-dev libicu-dev libdeflate-dev libfontconfig-dev libuchardet-dev
    fonts-liberation fonts-dejavu-core fonts-droid-fallback fonts-wine
    "${print_fonts[@]}"
    poppler-utils qpdf ghostscript xvfb xauth libxcb1-dev clang-format
    # A session bus for the window's start-up benchmark, as a desktop session has.
    dbus-daemon
    # A real-world XML file for the XML view's tests, and xmllint to put it on one line.
    shared-mime-info libxml2-utils
    tmux python3-fusepy fuse3
    # The readers test's PDF readers besides poppler and Ghostscript (the JavaScript ones come from npm).
    mupdf-tools python3-pdfminer python3-pypdf
)
case "${1:-}" in
--windows) packages=("${windows_packages[@]}") ;;
--fuzz) packages=("${fuzz_packages[@]}") ;;
--package) packages=("${package_packages[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}) and no sudo to install them." >&2; exit 1; }
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
