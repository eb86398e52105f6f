#include "platform/win32/Win32ErrorMapping.h"

#include "runtime/RuntimeError.h"

#include <windows.h>

namespace papyrant {

int runtimeErrorFromWin32(unsigned long lastError, PathKind kind)
{
    switch (lastError) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return err::kPermissionDenied;
    case ERROR_FILE_NOT_FOUND:
        return kind == PathKind::Folder ? err::kPathNotFound : err::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
        return err::kPathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return err::kBadFileNameOrNumber;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return err::kOutOfMemory;
    default:
        return err::kDeviceIoError;
    }
}

} // namespace papyrant
