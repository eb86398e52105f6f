#include "platform/posix/ErrnoMapping.h"

#include "runtime/RuntimeError.h"

#include <cerrno>

namespace papyrant {

int runtimeErrorFromErrno(int errnoValue, PathKind kind)
{
    switch (errnoValue) {
    case EACCES:
    case EPERM:
        return err::kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return kind == PathKind::Folder ? err::kPathNotFound : err::kFileNotFound;
    case ENAMETOOLONG:
        return err::kBadFileName;
    case ENOSPC:
    case EDQUOT:
        return err::kDiskFull;
    case ENOMEM:
        return err::kOutOfMemory;
    case ELOOP:
        return err::kPathFileAccessError;
    default:
        return err::kDeviceIoError;
    }
}

} // namespace papyrant
