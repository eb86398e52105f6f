#include "platform/posix/PosixAttributes.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace papyrant {

int attributesOf(const struct stat& own, const struct stat& target, bool writable, std::string_view name)
{
    int attributes = 0;
    if (S_ISLNK(own.st_mode))
        attributes |= attr::kReparsePoint;
    if (S_ISDIR(target.st_mode))
        attributes |= attr::kDirectory;
    else if (S_ISREG(target.st_mode))
        attributes |= attr::kArchive;
    if (!writable)
        attributes |= attr::kReadOnly;
    if (!name.empty() && name.front() == '.' && name != "." && name != "..")
        attributes |= attr::kHidden;
    return attributes;
}

bool isExistingFileAt(int folderFd, const char* name)
{
    struct stat info = {};
    return ::fstatat(folderFd, name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

} // namespace papyrant
