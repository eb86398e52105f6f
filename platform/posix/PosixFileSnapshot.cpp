#include "platform/FileSnapshot.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

std::optional<FileSnapshot> fileSnapshot(const std::string& path)
{
    struct stat info = {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    FileSnapshot snapshot;
    snapshot.identity = { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
    snapshot.size = static_cast<std::uint64_t>(info.st_size);
    snapshot.writeTime = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    snapshot.regular = S_ISREG(info.st_mode);
    return snapshot;
}

bool opensWithoutWriteSharing(const std::string& path)
{
    // Non-blocking, so that a pipe put in the file's place cannot hold the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    bool closed = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    // Linux has no sharing modes; a read lease stands in for one, as the kernel grants it only while no descriptor
    // anywhere has the file open for writing. Where leases are not to be had (another user's file, a file system
    // without them) the open is all there is to go by.
    if (closed && ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    else if (closed && (errno == EAGAIN || errno == EBUSY))
        closed = false;
    ::close(fd);
    return closed;
}

} // namespace papyrant
