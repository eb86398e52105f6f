# Sourced by the benchmarks: the source and build folders, a build of the named targets (configured as a
# Release build when the folder is new; serialised with PAPYRANT_BUILD_LOCK when set), and the installation of
# the peers and measuring tools they run.
root=${PAPYRANT_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
build=${PAPYRANT_BUILD_DIR:-$root/build}

build_targets() {
    local lock=()
    [ -n "${PAPYRANT_BUILD_LOCK:-}" ] && lock=(flock "$PAPYRANT_BUILD_LOCK")
    if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
        "${lock[@]}" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    "${lock[@]}" cmake --build "$build" --target "$@" >/dev/null
}

# Installs the Debian packages named (none: nothing to do).
install_packages() {
    [ $# -gt 0 ] || return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing $*" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >&2
}
