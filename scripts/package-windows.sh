#!/usr/bin/env bash
# Cross-builds Papyrant for Windows, the window included, with the MinGW Qt of scripts/build-qt-mingw.sh (built
# first when it is not cached), and makes from one portable folder:
#   build-win/Papyrant-VERSION-win64.zip     the folder as it is: unzip anywhere and start papyrant.exe
#   build-win/Papyrant-VERSION-setup.exe     a per-user installer (NSIS; /S for a silent install)
# Usage: scripts/package-windows.sh [OUTPUT_DIR]   (default: build-win)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-win}
start=$SECONDS
triplet=x86_64-w64-mingw32

"$root/scripts/setup-deps.sh" --windows
qt=$("$root/scripts/build-qt-mingw.sh" | tail -n1)
[ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ] || { echo "No MinGW Qt in $qt" >&2; exit 1; }
version=$(sed -n 's/^project(Papyrant VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

# Qt's toolchain file finds the cross-built Qt and the host's tools, then loads the project's MinGW toolchain.
# The program links the MinGW runtime dynamically, as Qt's DLLs do: one C++ runtime in the process.
build=$out/build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAPYRANT_TESTS=OFF -DPAPYRANT_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DCMAKE_EXE_LINKER_FLAGS="" >/dev/null
cmake --build "$build" -j "$(nproc)" --target papyrant papyrant_assets
# Read whole before matching: grep -q stops reading early, and with pipefail objdump's broken pipe fails the test.
headers=$($triplet-objdump -p "$build/bin/papyrant.exe")
if ! grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"; then
    echo "papyrant.exe is not a GUI program" >&2
    exit 1
fi

# The portable folder: the program, Qt's DLLs and the plugins the window loads, the MinGW runtime, and the files
# that ship beside the program (cursor, icons, skin, samples).
name=Papyrant
folder=$out/$name
rm -rf "$folder" && mkdir -p "$folder/platforms" "$folder/styles" "$folder/imageformats"
cp -r "$build/bin/." "$folder/"
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$folder/"
cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
cp "$qt/plugins/imageformats/qico.dll" "$folder/imageformats/" # the cursor and the drag picture
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$($triplet-g++-posix -print-file-name="$dll")" "$folder/"
done
# The Qt DLLs that the program and the plugins need, and those they need in turn; nothing may need a Qt or MinGW
# DLL that is not in the folder.
changed=1
while [ "$changed" = 1 ]; do
    changed=0
    for binary in "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll; do
        for dll in $($triplet-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
            [ -f "$folder/$dll" ] && continue
            case "${dll,,}" in
            qt6*.dll)
                [ -f "$qt/bin/$dll" ] || { echo "$binary needs $dll, which the MinGW Qt lacks" >&2; exit 1; }
                cp "$qt/bin/$dll" "$folder/"
                changed=1
                ;;
            libstdc++-6.dll | libgcc_s_seh-1.dll | libwinpthread-1.dll)
                echo "$binary needs $dll, which is not in the folder" >&2
                exit 1
                ;;
            esac
        done
    done
done

rm -f "$out/Papyrant-$version-win64.zip"
(cd "$out" && cmake -E tar cf "Papyrant-$version-win64.zip" --format=zip "$name")

# The uninstaller removes what the installer put there, deepest first, and no other file.
file_list=$out/installed-files.nsh
(cd "$folder" && {
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|^|    Delete "$INSTDIR\\|; s|$|"|'
    find . -mindepth 1 -type d | awk -F/ '{ print NF "\t" $0 }' | sort -rn | cut -f2- |
        sed 's|^\./||; s|/|\\|g; s|^|    RMDir "$INSTDIR\\|; s|$|"|'
}) >"$file_list"
size_kb=$(du -sk "$folder" | cut -f1)
makensis -V2 -DVERSION="$version" -DSOURCE_DIR="$folder" -DICON="$root/assets/papyrant.ico" \
    -DOUT_FILE="$out/Papyrant-$version-setup.exe" -DFILE_LIST="$file_list" -DSIZE_KB="$size_kb" \
    "$root/cmake/windows/installer.nsi"

echo "-- Windows packages made in $((SECONDS - start)) s:"
ls -l "$out/Papyrant-$version-win64.zip" "$out/Papyrant-$version-setup.exe"
