#pragma once

#include <string_view>

struct stat;

namespace papyrant {

// The runtime's attribute bits of one directory entry: directory 16 and archive 32 by the type of what it leads
// to, reparse point 1024 for a symbolic link, hidden 2 for a dot-name, read-only 1 when the user cannot write
// it; no system bit. target is the entry after links (the same as own when it is no link, or a dangling one).
int attributesOf(const struct stat& own, const struct stat& target, bool writable, std::string_view name);

// True for an existing regular file, after links, named relative to a folder handle (or AT_FDCWD). Only asks,
// never opens: a FIFO would block an open.
bool isExistingFileAt(int folderFd, const char* name);

} // namespace papyrant
