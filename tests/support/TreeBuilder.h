#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant::test {

// Creates the folders, each path relative to root ("A/A1" makes A and A/A1).
inline void makeFolders(const std::filesystem::path& root, std::initializer_list<std::string> folders)
{
    for (const std::string& folder : folders)
        std::filesystem::create_directories(root / folder);
}

// Creates the files (and their folders), each holding its own name.
inline void makeFiles(const std::filesystem::path& root, std::initializer_list<std::string> files)
{
    for (const std::string& file : files) {
        const std::filesystem::path path = root / file;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << file;
        if (!std::filesystem::exists(path))
            throw std::runtime_error("cannot create " + path.string());
    }
}

// Removes a tree that may be deeper than the longest path the system takes, walking it by handles.
inline void removeDeepTree(int parentFd, const char* name)
{
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlinkat(parentFd, name, 0);
        return;
    }
    for (;;) {
        const int child = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // Each folder of these chains holds one subfolder; take whatever comes first until it is empty.
        std::string first;
        if (DIR* dir = ::fdopendir(child)) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string entryName = entry->d_name;
                if (entryName != "." && entryName != "..") {
                    first = entryName;
                    break;
                }
            }
            ::closedir(dir);
        } else {
            ::close(child);
        }
        if (first.empty())
            break;
        if (::unlinkat(fd, first.c_str(), 0) != 0)
            removeDeepTree(fd, first.c_str());
    }
    ::close(fd);
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

} // namespace papyrant::test
