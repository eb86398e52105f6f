#pragma once

#include <string>

namespace papyrant {

// Paths of any length, even beyond what one system call takes (PATH_MAX): they are followed a folder at a time,
// with at most two descriptors open at once.

// An open descriptor of the folder, or -1 with errno set.
int openFolderDeep(const std::string& folder);

// The folder part of a path ("." when it has none) and its last name.
std::string folderPartOf(const std::string& path);
std::string namePartOf(const std::string& path);

} // namespace papyrant
