#pragma once

#include "text/Expected.h"

#include <string>

namespace papyrant {

// Paths of any length, even beyond what one system call takes (PATH_MAX): they are followed a folder at a time,
// with at most two descriptors open at once.

// An open descriptor of the folder, or -1 with errno set.
int openFolderDeep(const std::string& folder);

// Opens the regular file at `path` for reading, as FileByteSource::openRegularFileAt does (anything else is
// refused before it is opened): the open descriptor, or why there is none.
Expected<int> openRegularFileDeep(const std::string& path);

// The folder part of a path ("." when it has none) and its last name.
std::string folderPartOf(const std::string& path);
std::string namePartOf(const std::string& path);

} // namespace papyrant
