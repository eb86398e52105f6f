#!/usr/bin/env bash
# The installed window, end to end under Wine, on an Xvfb of its own: installs the setup program silently into a
# scratch prefix, gives the prefix the PDF printer, a second printer as the user's default and the print stand-in
# as the word pad, then drives papyrant.exe with xdotool: "Load Sample/Example Files", "No" to opening the folder,
# "Start Converting", and the "Done." box. Checks each sample's PDF on the Desktop, the default printer, the
# window's picture, and that the silent uninstall leaves neither the folder nor the Uninstall entry.
# Every wait is for a window (xdotool search --sync) or a process, each under a time limit.
# Usage: tests/windows/window-e2e.sh SETUP_EXE TEST_PROGRAMS_DIR OUTPUT_DIR
#   TEST_PROGRAMS_DIR holds print_stand_in.exe and win32_spooler_tool.exe (the Windows stage's build-win32/tests).
set -euo pipefail
setup=$(realpath "$1")
tools=$(realpath "$2")
output=$3
mkdir -p "$output"
output=$(realpath "$output")
rm -f "$output/window.png" "$output/done.png" "$output/failure.png"
start=$SECONDS

scratch=$(mktemp -d "${TMPDIR:-/tmp}/papyrant-window-XXXXXX")
export HOME=$scratch/home WINEPREFIX=$scratch/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8 # code page 1252
mkdir -p "$HOME" "$WINEPREFIX"
log=$output/wine.log
: >"$log"
xvfb_pid=
app_pid=

finish() {
    local status=$?
    # Every step of the clean-up runs, whatever the one before it met (an app or an Xvfb that is already gone).
    set +e
    if [ "$status" -ne 0 ] && [ -n "$xvfb_pid" ]; then
        # What was on the screen when the test failed: the shown windows and a picture of the whole display.
        echo "-- windows shown at the failure:" >&2
        for id in $(timeout 10 xdotool search --onlyvisible --name . 2>/dev/null); do
            echo "   $id \"$(xdotool getwindowname "$id" 2>/dev/null)\"" >&2
        done
        timeout 10 import -window root "$output/failure.png" 2>/dev/null && echo "   picture: $output/failure.png" >&2
    fi
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ "$status" -ne 0 ]; then
        echo "-- the window's end-to-end test failed after $((SECONDS - start)) s; Wine's last lines:" >&2
        tail -n 20 "$log" >&2
    fi
    rm -rf "$scratch"
    exit "$status"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A display of its own: Xvfb picks a free number and says which.
mkfifo "$scratch/display"
exec {display_fd}<>"$scratch/display"
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >>"$log" 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$display_fd" display || fail "Xvfb did not start"
export DISPLAY=:$display

# Waits for a shown window whose caption is exactly the text and prints its id; never a fixed sleep. Only a
# mapped window counts: Wine creates the X window, with its caption, before the program shows it.
wait_window() {
    local caption=$1 ignore=${2:-} id
    id=$(timeout 60 bash -c '
        while :; do
            for id in $(xdotool search --sync --onlyvisible --name "$0" 2>/dev/null); do
                [ "$id" != "$1" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$2" ] && { echo "$id"; exit 0; }
            done
            sleep 0.1 # only the window to ignore is there yet: ask again
        done' "^${caption}\$" "$ignore" "$caption") || fail "no window captioned \"$caption\" within 60 s"
    echo "$id"
}
# Waits until a message box has gone. While it is up the main window is blocked and takes no click, and the
# program handles the key that answers it in its own time.
wait_gone() {
    local id=$1
    timeout 60 bash -c '
        while xwininfo -id "$0" 2>/dev/null | grep -q "Map State: IsViewable"; do
            sleep 0.1 # still shown: look again
        done' "$id" || fail "the box \"$2\" ($id) was still shown after 60 s"
}
# xdotool's --sync waits have no limit of their own.
xdo() {
    timeout 30 xdotool "$@" || fail "xdotool $* did not finish within 30 s"
}
# Clicks at a point of the main window's client area given in twips (the layout's unit) at 96 dpi.
click_twips() {
    local window=$1 x=$(($2 / 15)) y=$(($3 / 15))
    xdo mousemove --sync --window "$window" $((x + frame_x)) $((y + frame_y)) click 1
}

echo "-- Wine prefix"
wineboot -i >>"$log" 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1
# Wine has no Arial, the window's face: Qt then takes the first face it lists, whatever its size (with the
# print-outs' fonts installed, an Arabic face whose glyph bounds are almost four times Arial's height, which pushed
# the folder box's text out of sight). Liberation Sans has Arial's metrics, so the window is laid out as on Windows;
# Wine shows it under Arial's name.
fc-list -q 'Liberation Sans' || fail "no Liberation Sans (Debian's fonts-liberation) to stand in for Arial"
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >>"$log" 2>&1 ||
    fail "cannot give the prefix Liberation Sans for Arial"

echo "-- silent install"
wine "$setup" /S >>"$log" 2>&1 || fail "the setup program failed"
# Looked at once the setup program and every process of the prefix have ended, and its server with them, with
# the registry saved: the files of the install were once there while its Uninstall entry was not yet.
timeout 60 wineserver -w || fail "the setup program did not finish within 60 s"
user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
installed=$user_dir/AppData/Local/Programs/Papyrant
# Started by its Windows path, as the Start menu would: the program looks for its files beside itself.
installed_dos="C:\\users\\$(basename "$user_dir")\\AppData\\Local\\Programs\\Papyrant"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Papyrant Software.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Papyrant'
[ -f "$installed/papyrant.exe" ] || fail "papyrant.exe is not in $installed"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
uninstall_entry=$(wine reg query "$uninstall_key" /v UninstallString 2>>"$log") || fail "no Uninstall entry for the user"
echo "Uninstall entry: $(grep -o 'UninstallString.*' <<<"$uninstall_entry" | tr -d '\r')"

echo "-- printers and word pad"
cp "$tools/print_stand_in.exe" "$tools/win32_spooler_tool.exe" "$WINEPREFIX/drive_c/"
wine 'C:\win32_spooler_tool.exe' add "Quillmark PDF Writer" >>"$log" 2>&1 || fail "cannot add the PDF printer"
wine 'C:\win32_spooler_tool.exe' add "Office Laser" >>"$log" 2>&1 || fail "cannot add the second printer"
wine 'C:\win32_spooler_tool.exe' default "Office Laser" >>"$log" 2>&1 || fail "cannot set the default printer"
wine reg add 'HKCR\Wordpad.Document.1\Protocol\StdFileEditing\Server' /ve /d '"C:\print_stand_in.exe"' /f \
    >>"$log" 2>&1

echo "-- the window"
wine "$installed_dos\\papyrant.exe" >>"$log" 2>&1 &
app_pid=$!
main=$(wait_window "Papyrant Software")
echo "caption: \"$(xdotool getwindowname "$main")\""
# Without a window manager the X window may or may not hold Wine's own frame: the client area (8040 x 6705
# twips) sits at the bottom, centred across.
eval "$(xdotool getwindowgeometry --shell "$main")"
frame_x=$(((WIDTH - 536) / 2))
frame_y=$((HEIGHT - 447 - frame_x))
[ "$frame_x" -ge 0 ] && [ "$frame_y" -ge 0 ] || fail "the window is ${WIDTH}x${HEIGHT}, smaller than its client area"

click_twips "$main" $((3900 + 2010)) $((3260 + 202)) # Load Sample/Example Files
question=$(wait_window "Papyrant")
xdo windowfocus --sync "$question" key --clearmodifiers n # "No": the folder stays closed
wait_gone "$question" "Papyrant"
click_twips "$main" $((120 + 3900)) $((5660 + 202)) # Start Converting
done_box=$(wait_window "Papyrant" "$question")
import -window root "$output/done.png" 2>>"$log" || true
xdo windowfocus --sync "$done_box" key --clearmodifiers Return
wait_gone "$done_box" "Papyrant"

echo "-- checks"
desktop=$user_dir/Desktop
samples=0
for sample in "$installed"/Samples/*; do # every file of the folder is a sample
    pdf=$desktop/$(basename "${sample%.*}").pdf
    cmp -s "$sample" "$pdf" || fail "$(basename "$pdf") is missing on the Desktop or is not what the stand-in wrote"
    samples=$((samples + 1))
done
[ "$samples" -gt 0 ] || fail "no samples installed"
echo "$samples samples converted"
printer=$(wine 'C:\win32_spooler_tool.exe' default 2>>"$log" | tr -d '\r')
[ "$printer" = "Office Laser" ] || fail "the default printer is \"$printer\", not \"Office Laser\""

# The window with the filled list, after the run; taken last so that the boxes' areas have been drawn again.
import -window "$main" "$output/window.png" 2>>"$log" || fail "no screenshot"
colours=$(identify -format '%k' "$output/window.png" 2>>"$log") || fail "the screenshot cannot be read"
[ "$colours" -gt 1 ] || fail "the screenshot is one colour"
# The folder box (Text1 on Frame3 on Frame5, 5670 x 345 twips) shows the output folder readably.
"$(dirname "$0")/check-box-text.sh" "$output/window.png" $((frame_x + (120 + 480 + 240) / 15)) \
    $((frame_y + (3720 + 510 + 300) / 15)) $((5670 / 15)) $((345 / 15)) || fail "the folder box's text is cut off"

# Closing the window ends the program: Wine turns Alt+F4 into the system's close command.
xdo windowfocus --sync "$main" key --clearmodifiers alt+F4
timeout 30 tail --pid="$app_pid" -f /dev/null || fail "the program did not end when its window closed"
app_pid=

echo "-- silent uninstall"
# The uninstaller copies itself away and runs from there; the prefix's server ends when it has.
wine "$installed_dos\\uninstall.exe" /S >>"$log" 2>&1 || fail "the uninstaller failed"
timeout 60 wineserver -w || fail "the uninstaller did not finish within 60 s"
[ ! -e "$installed" ] || fail "the program's folder is still there: $(find "$installed" | head -n 5)"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
if wine reg query "$uninstall_key" >>"$log" 2>&1; then
    fail "the Uninstall entry is still there"
fi
echo "Uninstall entry gone, folder and shortcut gone"
echo "-- the window's end-to-end test passed in $((SECONDS - start)) s (screenshot: $output/window.png)"
