#pragma once

#include "platform/DirectoryListing.h"
#include "print/EncodingChoice.h"

#include <cstdint>
#include <optional>
#include <string>

namespace papyrant {

// What makes a file the same file whichever name leads to it: device and inode, as for folders.
using FileIdentity = DirectoryIdentity;

// The identity of what the path names (after links), or nothing when it cannot be looked at.
std::optional<FileIdentity> identityOf(const std::string& path);

// One source file of a batch and the PDF it becomes, as the renderer and the report take it (a batch keeps its
// files in a JobTable); the target is decided for every file before any is rendered.
struct ConvertJob
{
    std::string source; // as found: the path given, or the folder given joined with the names the scan found
    std::string target;
    std::string problem; // set when the file is not to be rendered: why it fails
};

enum class FileStatus
{
    NotDone, // the batch was stopped before the file's turn
    Converted,
    Kept, // --no-clobber found the PDF there already
    Failed,
};

struct FileResult
{
    FileStatus status = FileStatus::NotDone;
    int pages = 0;
    std::uint64_t bytes = 0;
    double milliseconds = 0;
    std::string error; // why it failed
    EncodingChoice encoding; // Converted: what the text was read as, and why
    int firstPage = 0; // Converted under --merge: where the file begins in the merged PDF, counted from 1
};

} // namespace papyrant
