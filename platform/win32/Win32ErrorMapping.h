#pragma once

namespace papyrant {

enum class PathKind
{
    File,
    Folder,
};

// The runtime error number for a failed system call's last-error code: access denied 70, a missing folder 76,
// a missing file 53 (76 when a folder was asked for), a bad name 52, anything else a device I/O error.
int runtimeErrorFromWin32(unsigned long lastError, PathKind kind);

} // namespace papyrant
