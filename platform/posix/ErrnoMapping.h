#pragma once

namespace papyrant {

enum class PathKind
{
    File,
    Folder,
};

// The runtime error number for a failed system call's errno: permission 70, a missing folder 76, a missing
// file 53, anything else a device I/O error.
int runtimeErrorFromErrno(int errnoValue, PathKind kind);

} // namespace papyrant
