#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>

namespace papyrant {

// One state of a file, as far as it can be told without reading it: which file the path leads to, its size and
// its last write time. The time is in the file system's own units and coarser than any clock: compare it with
// another snapshot's, never with the time of day.
struct FileSnapshot
{
    FileIdentity identity;
    std::uint64_t size = 0;
    std::int64_t writeTime = 0;
    bool regular = false; // a plain file, not a folder, device or pipe

    bool operator==(const FileSnapshot&) const = default;
};

// The state of what the path names, links followed; nothing when it names nothing or cannot be asked. Never fails.
std::optional<FileSnapshot> fileSnapshot(const std::string& path);

// True when the regular file opens for reading with nobody else allowed to write it, which is to say that no
// program still has it open for writing. Never fails; false when it cannot be opened so.
bool opensWithoutWriteSharing(const std::string& path);

} // namespace papyrant
