#!/usr/bin/env bash
# Cross-builds the part of Qt the window needs (Core, Gui, Widgets, the Windows platform plugin and the vista
# style) for x86_64-w64-mingw32 from Debian's own qt6-base source, the same version as the host's Qt, whose tools
# (moc, rcc, uic) the cross-build uses. Debian ships no MinGW build of Qt.
#
# The result goes to a cache folder keyed by the Qt version and the hash of the recipe below, so a change to the
# recipe builds afresh and anything else reuses it:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/papyrant/qt-mingw-VERSION-HASH
# Work in progress lives beside it in qt-mingw-VERSION.build: re-running continues that build. The cache folder
# appears only once the install is complete (renamed into place), so a half build is never taken for a finished one.
# Nothing is written elsewhere: the source comes through a private apt source list and private apt state.
#
# Usage: scripts/build-qt-mingw.sh [--print-dir]   (--print-dir prints the cache folder and does nothing else)
# Prints the cache folder as the last line of its output.
set -euo pipefail

host_cmake_dir=/usr/lib/x86_64-linux-gnu/cmake
qt_version=$(sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")$/\1/p' "$host_cmake_dir/Qt6/Qt6ConfigVersionImpl.cmake")
[ -n "$qt_version" ] || { echo "No host Qt 6 found (install qt6-base-dev)." >&2; exit 1; }
triplet=x86_64-w64-mingw32

# --- The recipe: everything that decides what is built. Its hash is part of the cache folder's name. ---
toolchain="set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
"
configure_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    # What the program does not use.
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_testlib=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF
    -DFEATURE_vulkan=OFF
    # Direct 2D stays: without it, Qt 6.4's Windows platform plugin still calls the DirectWrite font database,
    # which Gui then leaves out, and the plugin does not link.
    # Debian's source tarball lacks wintab.h.
    -DFEATURE_tabletevent=OFF
    # The Windows platform plugin does not compile with OpenGL off; dynamic needs no GL library at build time.
    -DINPUT_opengl=dynamic
    # Bundled copies: the MinGW side has none of these, and pkg-config would only find the host's.
    -DFEATURE_pkg_config=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
)
# --- End of the recipe. ---

recipe_hash=$(printf '%s\n' "$qt_version" "$toolchain" "${configure_options[@]}" | sha256sum | cut -c1-12)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/papyrant
cache=$cache_root/qt-mingw-$qt_version-$recipe_hash
if [ "${1:-}" = --print-dir ]; then
    echo "$cache"
    exit 0
fi
if [ -f "$cache/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "-- MinGW Qt $qt_version: using the cached build in $cache"
    echo "$cache"
    exit 0
fi

work=$cache_root/qt-mingw-$qt_version.build
mkdir -p "$work"
start=$SECONDS
echo "-- MinGW Qt $qt_version: building into $cache (work folder $work), started $(date -u +%FT%TZ)"

# The source, through a private source list and apt state: the machine's own apt configuration stays untouched.
source_dir=$work/source
if [ ! -f "$source_dir/.unpacked" ]; then
    apt_dir=$work/apt
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$work/download"
    mirror=$(sed -n 's/^URIs: *\(http[^ ]*debian\)\/*$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
    mirror=${mirror:-http://deb.debian.org/debian}
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" >"$apt_dir/sources.list"
    apt_options=(
        -o Dir::Etc::sourcelist="$apt_dir/sources.list" -o Dir::Etc::sourceparts="$apt_dir/parts"
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
        -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
    )
    apt-get "${apt_options[@]}" update -qq
    # The host's exact Debian version when the mirror still has it, else the newest of the same Qt version.
    host_package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
    rm -rf "$work/download" && mkdir -p "$work/download"
    (cd "$work/download" && {
        apt-get "${apt_options[@]}" source --download-only "qt6-base=$host_package_version" 2>/dev/null ||
            apt-get "${apt_options[@]}" source --download-only qt6-base
    })
    dsc=$(ls "$work/download"/qt6-base_"$qt_version"*.dsc | head -n1)
    [ -f "$dsc" ] || { echo "The mirror has no qt6-base $qt_version source." >&2; exit 1; }
    rm -rf "$source_dir"
    dpkg-source --no-check -x "$dsc" "$source_dir" >/dev/null
    touch "$source_dir/.unpacked"
fi

printf '%s' "$toolchain" >"$work/toolchain.cmake"
build_dir=$work/build
# Installed with the cache folder as its prefix (so Qt's own qt-cmake works from there) but staged under DESTDIR.
stage=$work/install
# A build folder configured by another recipe keeps its objects but not its cache, whose old options would win
# over the ones now left out.
if [ "$(cat "$build_dir/.recipe" 2>/dev/null)" != "$recipe_hash" ]; then
    rm -f "$build_dir/CMakeCache.txt"
fi
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_INSTALL_PREFIX="$cache" "${configure_options[@]}" >"$work/configure.log"
echo "$recipe_hash" >"$build_dir/.recipe"
echo "-- configured after $((SECONDS - start)) s"
cmake --build "$build_dir" -j "$(nproc)"
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build_dir" >/dev/null
# Publish: a rename within one folder is atomic, so the cache is either absent or complete.
rm -rf "$cache.partial"
mv -T "$stage$cache" "$cache.partial"
mv -T "$cache.partial" "$cache"
rm -rf "$stage"
echo "-- MinGW Qt $qt_version built in $((SECONDS - start)) s, finished $(date -u +%FT%TZ)"
echo "$cache"
