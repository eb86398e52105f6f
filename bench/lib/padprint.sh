# Sourced by the benchmarks that run padprint: $bin/padprint of this build, or of PADPRINT_BIN_DIR (to measure
# another build for a before-and-after), a scratch folder $work, and a user of its own whose default printer
# is the PDF printer; set_output FILE points the next print at FILE.
bin=${PADPRINT_BIN_DIR:-$build/bin}
printer="Quillmark PDF Writer"
[ -n "${PADPRINT_BIN_DIR:-}" ] || build_targets padprint papyrant-platform
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$bin/papyrant-platform" add-printer "$printer" >/dev/null
"$bin/papyrant-platform" set-default "$printer" >/dev/null
set_output() {
    "$bin/papyrant-platform" reg set HKCU "Software\\$printer" OutputFile "$1" >/dev/null
    "$bin/papyrant-platform" reg set HKCU "Software\\$printer" BypassSaveAs 1 >/dev/null
}
