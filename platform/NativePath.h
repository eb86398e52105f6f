#pragma once

// The path facts that differ between systems: kNativeSeparator, kMaxPath, pathsEqual, pathKey,
// systemTextLength, systemCanName, isRootFolder. This header is the one seam: CMake names the system's own header
// (platform/posix/PosixNativePath.h or platform/win32/Win32NativePath.h) in PAPYRANT_NATIVE_PATH_HEADER, so that
// no file outside those folders tests which system it is built for.
#include PAPYRANT_NATIVE_PATH_HEADER
