#include "print/FileByteSource.h"

#include "print/ReadError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

FileByteSource::~FileByteSource()
{
    ::close(m_fd);
}

Expected<int> FileByteSource::openRegularFile(const std::string& path)
{
    return openRegularFileAt(AT_FDCWD, path);
}

Expected<int> FileByteSource::openRegularFileAt(int folder, const std::string& path)
{
    struct stat info
    {
    };
    if (::fstatat(folder, path.c_str(), &info, 0) != 0) {
        return Unexpected { errno == ENOENT || errno == ENOTDIR ? "file not found" : std::strerror(errno) };
    }
    if (!S_ISREG(info.st_mode)) {
        return Unexpected { S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file" };
    }
    // Non-blocking in case the name was swapped for a FIFO since the check; the type is checked again below.
    const int fd = ::openat(folder, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Unexpected { errno == ENOENT ? "file not found" : std::strerror(errno) };
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Unexpected { "is not a regular file" };
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

std::size_t FileByteSource::read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t count = ::read(m_fd, buffer, size);
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR)
            throw ReadError(std::strerror(errno));
    }
}

void FileByteSource::rewind()
{
    if (::lseek(m_fd, 0, SEEK_SET) != 0)
        throw ReadError(std::strerror(errno));
}

} // namespace papyrant
