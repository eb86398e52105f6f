#include "platform/DirectoryListing.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/PosixAttributes.h"
#include "runtime/RuntimeError.h"
#include "text/NameCase.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

namespace {

[[noreturn]] void throwFolderError(int errnoValue)
{
    throw RuntimeError(runtimeErrorFromErrno(errnoValue, PathKind::Folder));
}

DirectoryIdentity identityOf(const struct stat& info)
{
    return { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
}

struct DirCloser
{
    void operator()(DIR* dir) const
    {
        ::closedir(dir);
    }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

DirHandle openFolder(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        throwFolderError(errno);
    return DirHandle(dir);
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Calls visit(entry) for every entry but "." and ".."; a failed read throws.
template <typename Visit> void forEachEntry(DIR* dir, Visit&& visit)
{
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                throwFolderError(errno);
            return;
        }
        if (!isDotOrDotDot(entry->d_name))
            visit(*entry);
    }
}

} // namespace

FolderListing listSubfolders(const std::string& folder)
{
    const DirHandle dir = openFolder(folder);
    const int fd = ::dirfd(dir.get());
    FolderListing listing;
    struct stat self = {};
    if (::fstat(fd, &self) != 0)
        throwFolderError(errno);
    listing.identity = identityOf(self);

    forEachEntry(dir.get(), [&](const dirent& entry) {
        if (entry.d_type != DT_DIR && entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
            return;
        struct stat own = {};
        if (::fstatat(fd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return; // gone since the folder was read
            throwFolderError(errno);
        }
        struct stat target = own;
        // A link that leads nowhere, or somewhere we may not look, is no folder.
        if (S_ISLNK(own.st_mode) && ::fstatat(fd, entry.d_name, &target, 0) != 0)
            return;
        if (!S_ISDIR(target.st_mode))
            return;
        const bool writable = ::faccessat(fd, entry.d_name, W_OK, 0) == 0 || errno == ENOENT;
        listing.subfolders.push_back(
            { entry.d_name, attributesOf(own, target, writable, entry.d_name), identityOf(target) });
    });
    std::sort(listing.subfolders.begin(), listing.subfolders.end(),
        [](const SubfolderEntry& a, const SubfolderEntry& b) { return nameSortsBefore(a.name, b.name); });
    return listing;
}

std::vector<std::string> listMatchingFileNames(const std::string& folder, std::string_view pattern)
{
    const DirHandle dir = openFolder(folder);
    const int fd = ::dirfd(dir.get());
    std::vector<std::string> names;
    forEachEntry(dir.get(), [&](const dirent& entry) {
        if (entry.d_type != DT_REG && entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
            return;
        if (!matchesWildcard(entry.d_name, pattern))
            return;
        if (entry.d_type != DT_REG && !isExistingFileAt(fd, entry.d_name))
            return;
        names.emplace_back(entry.d_name);
    });
    std::sort(names.begin(), names.end(), nameSortsBefore);
    return names;
}

} // namespace papyrant
