#pragma once

#include "NativePath.h" // per platform: kNativeSeparator, kMaxPath, pathsEqual

#include <cstddef>
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

// The attribute bits of a path. Throws RuntimeError (53, 76, 70, ...) when they cannot be read.
int GetAttributes(const std::string& path);

// The desktop folder followed by one separator. Throws RuntimeError when it cannot be determined.
std::string GetDesktopFolder();

// The folder of the running program, without a closing separator (except at a root).
std::string programFolder();

} // namespace papyrant
