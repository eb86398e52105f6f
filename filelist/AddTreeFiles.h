#pragma once

#include "filelist/FolderScan.h"

#include <functional>
#include <string>
#include <string_view>

namespace papyrant {

class GuardedCommand;

// Appends one entry, with the text given, to the file list.
using AppendEntry = std::function<void(std::string)>;

// Appends every file of every folder of the list (in list order, each folder's files in listing order) that
// matches the wildcard, does not start with "~", exists as a file and is not exactly archive + hidden (34).
// Each entry is the path with doubled separators collapsed. Runs as steps 120 to 134 of the calling command, so
// a file that cannot be added costs only that file. The "~" and hidden files left out, and those gone since the
// listing, go to `skipped` when set.
void AddTreeFiles(const FolderList& folders, std::string_view pattern, const AppendEntry& appendEntry,
    GuardedCommand& caller, const ScanSkipReport& skipped = {});

} // namespace papyrant
