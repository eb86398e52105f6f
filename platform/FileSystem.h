#pragma once

#include "platform/NativePath.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

// File attribute bits as the runtime reports them.
namespace attr {
inline constexpr int kReadOnly = 1;
inline constexpr int kHidden = 2;
inline constexpr int kSystem = 4;
inline constexpr int kDirectory = 16;
inline constexpr int kArchive = 32;
inline constexpr int kReparsePoint = 1024;
} // namespace attr

// True when the path names an existing file or folder; never fails.
bool FileExists(const std::string& path);

// True when the path names an existing folder; never fails.
bool FolderExists(const std::string& path);

// True only for an existing file that can be opened (never a folder); never fails.
bool IsExistingFile(const std::string& path);

// What makes a file or folder the same one whichever name leads to it: device and inode on Linux, volume serial
// number and file index on Windows.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    auto operator<=>(const FileIdentity&) const = default;
};

struct FileIdentityHash
{
    std::size_t operator()(const FileIdentity& identity) const
    {
        return std::hash<std::uint64_t>()(identity.inode * 0x9e3779b97f4a7c15ULL ^ identity.device);
    }
};

// The identity of the file or folder a path names, links followed; nothing when the path names nothing or cannot
// be asked. Never fails.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// The attribute bits of a path. Throws RuntimeError (53, 76, 70, ...) when they cannot be read.
int GetAttributes(const std::string& path);

// The desktop folder followed by one separator. Throws RuntimeError when it cannot be determined.
std::string GetDesktopFolder();

// The folder of the running program, without a closing separator (except at a root).
std::string programFolder();

} // namespace papyrant
