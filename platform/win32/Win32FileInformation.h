#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <windows.h>

namespace papyrant {

// What the system knows of the file or folder a path leads to, links followed. False, with the system's error
// left for GetLastError, when it cannot be asked.
bool fileInformation(const std::string& path, BY_HANDLE_FILE_INFORMATION& info);

inline FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return { info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow };
}

} // namespace papyrant
