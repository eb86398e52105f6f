#include "platform/FileSystem.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/PosixAttributes.h"
#include "runtime/RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

bool FileExists(const std::string& path)
{
    struct stat info = {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool FolderExists(const std::string& path)
{
    struct stat info = {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsExistingFile(const std::string& path)
{
    return !path.empty() && isExistingFileAt(AT_FDCWD, path.c_str());
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    struct stat info = {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
}

int GetAttributes(const std::string& path)
{
    // A closing separator names the folder itself (a link keeps its reparse point bit), and a missing one is a
    // missing path rather than a missing file.
    const bool folderForm = !path.empty() && path.back() == kNativeSeparator;
    std::string own = path;
    while (own.size() > 1 && own.back() == kNativeSeparator)
        own.pop_back();
    struct stat linkInfo = {};
    if (own.empty() || ::lstat(own.c_str(), &linkInfo) != 0)
        throw RuntimeError(
            runtimeErrorFromErrno(own.empty() ? ENOENT : errno, folderForm ? PathKind::Folder : PathKind::File));
    struct stat info = linkInfo;
    if (S_ISLNK(linkInfo.st_mode) && ::stat(own.c_str(), &info) != 0)
        info = linkInfo;
    const bool writable = ::access(own.c_str(), W_OK) == 0 || errno == ENOENT;
    const auto slash = own.rfind(kNativeSeparator);
    const std::string_view name
        = slash == std::string::npos ? std::string_view(own) : std::string_view(own).substr(slash + 1);
    return attributesOf(linkInfo, info, writable, name);
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
