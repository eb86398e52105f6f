# Cross-builds the Windows side with Debian's MinGW-w64 (POSIX threads flavour) and runs its tests under Wine.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAPYRANT_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PAPYRANT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAPYRANT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PAPYRANT_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PAPYRANT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the programs run from any folder without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's wine picks the 64-bit loader for 64-bit programs.
find_program(PAPYRANT_WINE NAMES wine wine64)
if(PAPYRANT_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PAPYRANT_WINE})
endif()
