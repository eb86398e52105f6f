#!/usr/bin/env bash
# The captions as a window manager reads them (_NET_WM_NAME on a real X server): the main window's is the
# product name alone, a message box without a title of its own shows the application title alone, and the error
# report its own title alone.
# Arguments: the folder of the programs, the window-watch program. Runs under xvfb-run.
set -euo pipefail
bin=$1
watch=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config QT_QPA_PLATFORM=xcb
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME"
"$bin/papyrant-platform" setup >/dev/null

caption() {
    local output
    output=$("$watch" --timeout 60 -- "$bin/papyrant") || { echo "papyrant mapped no window" >&2; exit 1; }
    sed -n 2p <<<"$output"
}
expect() {
    if [ "$2" != "$3" ]; then
        echo "$1: the window manager reads \"$2\", expected \"$3\"" >&2
        exit 1
    fi
    echo "$1: \"$2\""
}

expect "main window" "$(caption)" "Papyrant Software"
# Without the PDF printer, start-up shows its instructions before the window: a box with no title of its own.
"$bin/papyrant-platform" remove-printer "Quillmark PDF Writer" >/dev/null
expect "printer instructions" "$(caption)" "Papyrant"
# A remembered option that is not a Boolean is reported at start-up, after the caption and title were set.
"$bin/papyrant-platform" add-printer "Quillmark PDF Writer" >/dev/null
"$bin/papyrant-platform" reg set HKCU 'Software\Quillmark\Papyrant Software' Option1 Maybe >/dev/null
expect "error report" "$(caption)" "Application Error"
