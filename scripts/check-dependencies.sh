#!/usr/bin/env bash
# Holds every #include and every target_link_libraries of the program against the table of allowed dependencies
# (the same table as docs/ARCHITECTURE.md). Fails on a wrong include, a wrong link, a room that includes from a
# room it does not link, a project-wide include path, OS code reached from outside its folder, and Qt below the
# widgets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# What each room may use besides itself. Arrows point down; tests/ and bench/ may use every room.
declare -A allowed=(
    [text]=""
    [runtime]="text"
    [platform]="runtime text"
    [conversion]="platform runtime text"
    [filelist]="conversion platform runtime text"
    [filelist/gui]="filelist conversion platform runtime text"
    [app]="filelist/gui filelist conversion platform runtime text"
    [print]="text"
    [tools/padprint]="print platform runtime text"
    [tools/papyrant-platform]="platform runtime text"
    [tools/papyrant-convert]="print filelist conversion platform runtime text"
)
# The library that holds each room's code.
declare -A library_room=(
    [papyrant_text]=text
    [papyrant_runtime]=runtime
    [papyrant_platform]=platform
    [papyrant_conversion]=conversion
    [papyrant_filelist]=filelist
    [papyrant_filelist_gui]=filelist/gui
    [papyrant_app]=app
    [papyrant_print_core]=print
    [papyrant_print]=print
    [padprint_command]=tools/padprint
    [papyrant_convert_core]=tools/papyrant-convert
)
# Only these rooms may include Qt.
qt_rooms=" filelist/gui app "

room_of() {
    case "$1" in
    filelist/gui/*) echo filelist/gui ;;
    tools/*/*) echo "$1" | cut -d/ -f1-2 ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
    esac
}

is_allowed() { # room used-room
    [ "$1" = "$2" ] && return 0
    case " ${allowed[$1]} " in *" $2 "*) return 0 ;; esac
    return 1
}

problems=0
problem() {
    echo "$1" >&2
    problems=$((problems + 1))
}

declare -A includes_of # room -> rooms its files include
declare -A links_of    # room -> rooms its targets link

# Includes.
while IFS= read -r file; do
    room=$(room_of "$file")
    [ -n "$room" ] && [ -n "${allowed[$room]+x}" ] || continue
    while IFS=: read -r line header; do
        used=$(room_of "$header")
        [ -n "$used" ] || continue
        if [ -z "${allowed[$used]+x}" ]; then
            problem "$file:$line: includes \"$header\", which belongs to no room of the program"
            continue
        fi
        if ! is_allowed "$room" "$used"; then
            problem "$file:$line: $room may not include \"$header\" ($used)"
        fi
        # OS code is reached only through the platform interfaces; the Linux stand-ins (tools/) may use posix/.
        case "$header" in platform/posix/* | platform/win32/*)
            folder=${header%/*}
            if [ "${file%/*}" != "$folder" ] && ! { [[ "$room" == tools/* ]] && [ "$folder" = platform/posix ]; }; then
                problem "$file:$line: \"$header\" is OS code; use the interface in platform/"
            fi
            ;;
        esac
        [ "$used" = "$room" ] || includes_of[$room]+=" $used"
    done < <(grep -nE '^\s*#\s*include\s+"[^"]+"' "$file" | sed -E 's/^([0-9]+):\s*#\s*include\s+"([^"]+)".*/\1:\2/')
    if [[ "$qt_rooms" != *" $room "* ]] && grep -qE '^\s*#\s*include\s+<Q[A-Za-z]*(/|>)' "$file"; then
        problem "$file: Qt below the widgets ($room)"
    fi
done < <(git ls-files '*.h' '*.cpp')

# Links: every papyrant library named in a target_link_libraries of a room's CMakeLists.txt.
while IFS= read -r cmake; do
    room=$(room_of "$cmake")
    [ -n "$room" ] && [ -n "${allowed[$room]+x}" ] || continue
    for library in $(awk '/target_link_libraries\(/ { on = 1 } on { print } on && /\)/ { on = 0 }' "$cmake" \
        | tr '() \t' '\n\n\n\n' | grep -E '^(papyrant_|padprint_)' | grep -vE '^papyrant_common_cfg$'); do
        used=${library_room[$library]:-}
        if [ -z "$used" ]; then
            problem "$cmake: links $library, which is no library of a room"
            continue
        fi
        is_allowed "$room" "$used" || problem "$cmake: $room may not link $library ($used)"
        [ "$used" = "$room" ] || links_of[$room]+=" $used"
    done
done < <(git ls-files '*CMakeLists.txt')

# A room includes only from what it links itself: a header reached through somebody else's link is a
# dependency nobody wrote down ...
for room in "${!includes_of[@]}"; do
    for used in $(echo "${includes_of[$room]}" | tr ' ' '\n' | sort -u); do
        case " ${links_of[$room]:-} " in
        *" $used "*) ;;
        *) problem "$room includes from $used but does not link it" ;;
        esac
    done
done

# ... and links only what it includes: a link nobody needs hides which room really depends on which.
for room in "${!links_of[@]}"; do
    for used in $(echo "${links_of[$room]}" | tr ' ' '\n' | sort -u); do
        case " ${includes_of[$room]:-} " in
        *" $used "*) ;;
        *) problem "$room links $used but includes nothing from it" ;;
        esac
    done
done

# No project-wide include path: each library publishes its own folders (papyrant_publish_headers).
if git grep -nE '(^|[^_])include_directories\(|target_include_directories\([^)]*(PROJECT_SOURCE_DIR|CMAKE_SOURCE_DIR)' \
    -- '*CMakeLists.txt' '*.cmake' >/tmp/papyrant-dependencies.$$; then
    sed 's/$/   (an include path that is not a library'"'"'s own folders)/' /tmp/papyrant-dependencies.$$ >&2
    problems=$((problems + 1))
fi
rm -f /tmp/papyrant-dependencies.$$

if [ "$problems" -gt 0 ]; then
    echo "check-dependencies: $problems dependencies above break the table (docs/ARCHITECTURE.md)." >&2
    exit 1
fi
echo "check-dependencies: every include and every link follows the table of allowed dependencies"
