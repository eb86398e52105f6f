#pragma once

#include "platform/FileSystem.h"

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// What makes a folder the same folder whichever path leads to it.
using DirectoryIdentity = FileIdentity;

struct SubfolderEntry
{
    std::string name; // the name's exact bytes
    int attributes = 0; // the runtime's attribute bits of the entry (a link to a folder has the reparse point bit)
    DirectoryIdentity identity; // of the folder it leads to
};

struct FolderListing
{
    DirectoryIdentity identity; // of the listed folder itself
    std::vector<SubfolderEntry> subfolders;
};

// Listings come sorted by name without regard to case, bytes as tie-break (see NameCase.h), hidden entries
// included, never "." or "..". A path may end with a separator. Failures throw RuntimeError: 76 for a folder
// that does not exist, 70 for one that cannot be read.

// The subfolders of a folder: folders and links to folders.
FolderListing listSubfolders(const std::string& folder);

// The names of the existing files of a folder (regular files, after links) that match the wildcard.
std::vector<std::string> listMatchingFileNames(const std::string& folder, std::string_view pattern);

} // namespace papyrant
