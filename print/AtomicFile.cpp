#include "print/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// A name in the target's folder that no file has yet: ".NAME.XXXXXX.tmp".
std::string temporaryNameFor(const std::string& target)
{
    thread_local std::mt19937_64 generator { std::random_device {}() };
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    char suffix[24];
    std::snprintf(
        suffix, sizeof suffix, ".%012llx.tmp", static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFFFull));
    return folder + "." + name + suffix;
}

} // namespace

AtomicFile::AtomicFile(std::string targetPath)
    : m_folderFd(AT_FDCWD)
    , m_target(std::move(targetPath))
    , m_folder(folderOf(m_target))
{
}

AtomicFile::AtomicFile(int folder, std::string name)
    : m_folderFd(folder)
    , m_target(std::move(name))
    , m_folder(".")
{
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_namedTemp.empty())
        ::unlinkat(m_folderFd, m_namedTemp.c_str(), 0);
}

bool AtomicFile::fail(Step step, int error)
{
    if (m_error == 0) {
        m_error = error;
        m_failedStep = step;
    }
    return false;
}

bool AtomicFile::open()
{
    m_buffer.reserve(kBufferSize);
    m_fd = ::openat(m_folderFd, m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd >= 0)
        return true;
    const int error = errno;
    // Only a file system without unnamed files gets a named temporary; other failures are final.
    if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
        return fail(Step::Create, error);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryNameFor(m_target);
        m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_namedTemp = name;
            return true;
        }
        if (errno != EEXIST)
            return fail(Step::Create, errno);
    }
    return fail(Step::Create, EEXIST);
}

bool AtomicFile::write(const void* data, std::size_t size)
{
    if (m_error != 0 || m_fd < 0)
        return false;
    if (m_buffer.size() + size > kBufferSize && !flush())
        return false;
    if (size >= kBufferSize) {
        m_buffer.insert(m_buffer.end(), static_cast<const char*>(data), static_cast<const char*>(data) + size);
        return flush();
    }
    m_buffer.insert(m_buffer.end(), static_cast<const char*>(data), static_cast<const char*>(data) + size);
    return true;
}

bool AtomicFile::flush()
{
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(Step::Write, errno);
        }
        if (written == 0)
            return fail(Step::Write, ENOSPC);
        done += static_cast<std::size_t>(written);
        m_size += static_cast<std::uint64_t>(written);
    }
    m_buffer.clear();
    return true;
}

bool AtomicFile::linkIntoPlace()
{
    if (!m_namedTemp.empty()) {
        if (::renameat(m_folderFd, m_namedTemp.c_str(), m_folderFd, m_target.c_str()) != 0)
            return fail(Step::Rename, errno);
        m_namedTemp.clear();
        return true;
    }
    // An unnamed file gets a name through /proc (linkat with AT_EMPTY_PATH needs a privilege), first the
    // target's own when it is free, else a temporary one that is then renamed over the old file.
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", m_fd);
    if (::linkat(AT_FDCWD, procPath, m_folderFd, m_target.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST)
        return fail(Step::Rename, errno);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryNameFor(m_target);
        if (::linkat(AT_FDCWD, procPath, m_folderFd, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            return fail(Step::Rename, errno);
        }
        if (::renameat(m_folderFd, name.c_str(), m_folderFd, m_target.c_str()) != 0) {
            const int error = errno;
            ::unlinkat(m_folderFd, name.c_str(), 0);
            return fail(Step::Rename, error);
        }
        return true;
    }
    return fail(Step::Rename, EEXIST);
}

bool AtomicFile::sync()
{
    if (m_error != 0 || m_fd < 0 || m_committed)
        return false;
    if (m_synced)
        return true;
    if (!flush())
        return false;
    // The data must be on disk before the name is, or a crash could leave an empty PDF under the name.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL)
        return fail(Step::Write, errno);
    m_synced = true;
    return true;
}

bool AtomicFile::identity(std::uint64_t& device, std::uint64_t& inode) const
{
    struct stat info = {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return false;
    device = static_cast<std::uint64_t>(info.st_dev);
    inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

bool AtomicFile::commit()
{
    if (!sync())
        return false;
    if (!linkIntoPlace())
        return false;
    m_committed = true;
    ::close(m_fd); // the data is synced and in place; nothing left that close could lose
    m_fd = -1;
    return true;
}

} // namespace papyrant
