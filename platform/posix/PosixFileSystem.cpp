#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/posix/ErrnoMapping.h"

namespace papyrant {

bool FileExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool FolderExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsExistingFile(const std::string& path)
{
    if (path.empty())
        return false;
    // Only asks, never opens for reading: a FIFO would block an open, so the type is checked first.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return ::access(path.c_str(), F_OK) == 0;
}

int GetAttributes(const std::string& path)
{
    struct stat linkInfo {};
    if (path.empty() || ::lstat(path.c_str(), &linkInfo) != 0)
        throw RuntimeError(runtimeErrorFromErrno(path.empty() ? ENOENT : errno, PathKind::File));
    int attributes = 0;
    struct stat info = linkInfo;
    if (S_ISLNK(linkInfo.st_mode)) {
        attributes |= attr::kReparsePoint;
        if (::stat(path.c_str(), &info) != 0)
            info = linkInfo;
    }
    if (S_ISDIR(info.st_mode))
        attributes |= attr::kDirectory;
    else if (S_ISREG(info.st_mode))
        attributes |= attr::kArchive;
    if (::access(path.c_str(), W_OK) != 0 && errno != ENOENT)
        attributes |= attr::kReadOnly;
    const std::string name = std::filesystem::path(path).filename().string();
    if (!name.empty() && name.front() == '.' && name != "." && name != "..")
        attributes |= attr::kHidden;
    return attributes;
}

namespace {

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

// The XDG desktop folder: XDG_DESKTOP_DIR from the environment or user-dirs.dirs, with $HOME expanded.
std::string xdgDesktopFolder(const std::string& home)
{
    if (const char* dir = std::getenv("XDG_DESKTOP_DIR"); dir && *dir)
        return dir;
    std::string configHome;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        configHome = config;
    else
        configHome = home + "/.config";
    FILE* file = std::fopen((configHome + "/user-dirs.dirs").c_str(), "r");
    if (!file)
        return home + "/Desktop";
    std::string result;
    char line[4096];
    while (std::fgets(line, sizeof line, file)) {
        std::string text(line);
        const std::string key = "XDG_DESKTOP_DIR=\"";
        if (text.rfind(key, 0) != 0)
            continue;
        const auto end = text.find('"', key.size());
        if (end == std::string::npos)
            continue;
        result = text.substr(key.size(), end - key.size());
        if (result.rfind("$HOME", 0) == 0)
            result = home + result.substr(5);
    }
    std::fclose(file);
    return result.empty() ? home + "/Desktop" : result;
}

} // namespace

std::string GetDesktopFolder()
{
    const std::string home = homeFolder();
    if (home.empty())
        throw RuntimeError(err::kPathNotFound);
    std::string folder = xdgDesktopFolder(home);
    if (!FolderExists(folder))
        folder = home;
    if (!FolderExists(folder))
        throw RuntimeError(err::kPathNotFound);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == "/" ? folder : folder + "/";
}

std::string programFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return ".";
    std::string folder = exe.parent_path().string();
    return folder.empty() ? "/" : folder;
}

} // namespace papyrant
