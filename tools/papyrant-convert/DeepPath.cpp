#include "tools/papyrant-convert/DeepPath.h"

#include "print/FileByteSource.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace papyrant {

int openFolderDeep(const std::string& folder)
{
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (folder.size() < PATH_MAX)
        return ::open(folder.c_str(), kFlags);
    int current = folder.front() == '/' ? ::open("/", kFlags) : ::open(".", kFlags);
    for (std::size_t start = 0; current >= 0 && start < folder.size();) {
        std::size_t end = folder.find('/', start);
        if (end == std::string::npos)
            end = folder.size();
        if (end > start) {
            const int next = ::openat(current, folder.substr(start, end - start).c_str(), kFlags);
            const int error = errno;
            ::close(current);
            current = next;
            errno = error;
        }
        start = end + 1;
    }
    return current;
}

Expected<int> openRegularFileDeep(const std::string& path)
{
    if (path.size() < PATH_MAX)
        return FileByteSource::openRegularFileAt(AT_FDCWD, path);
    const int folder = openFolderDeep(folderPartOf(path));
    if (folder < 0)
        return Unexpected { std::strerror(errno) };
    Expected<int> opened = FileByteSource::openRegularFileAt(folder, namePartOf(path));
    ::close(folder);
    return opened;
}

std::string folderPartOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string namePartOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace papyrant
