#pragma once

#include "tools/papyrant-convert/ConvertJob.h"
#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

class Yielder;

// A file of the program's own that a folder search passes over, and what it is.
struct ExcludedFile
{
    FileIdentity identity;
    std::string what; // "the JSON report of this run"
};

struct InputRules
{
    bool allFiles = false; // every file of a folder, not only *.xml
    // Where the PDFs go: one folder (its identity when it exists), or beside each source when not set.
    bool besideSource = true;
    std::optional<FileIdentity> outputFolder;
    std::vector<ExcludedFile> excluded; // files of the program's own: the JSON report, the merged PDF
};

// Why the folder search left a name out: a fault the user should hear of even when quiet, or the search's rule.
enum class SkipKind
{
    Error,
    Rule,
};

struct InputEvents
{
    // A name the folder search left out, and why.
    std::function<void(const std::string& path, const std::string& why, SkipKind kind)> skipped;
    // A file met again under another name (a hard link, a symbolic link) and left out; `first` is the name taken.
    std::function<void(const std::string& path, const std::string& first)> sameFile;
    // A failure the folder search reported (the window shows it in a message box).
    std::function<void(const std::string& text)> scanFailure;
};

// The source files of the paths given, in the order they were found: a folder is searched with all its
// subfolders by the window's own folder search (its "*.xml" files, or with allFiles every file, as a drop does);
// anything else is taken as it is, to be refused with a reason when it is no regular file. A file met twice by
// identity is taken once. Names in a folder that match but are no regular file (a dangling link, a link loop, a
// FIFO, a socket, a device) are told to `skipped`. PDFs in a folder that receives PDFs are never taken from a folder
// search. A path that cannot be used (missing, or a folder that cannot be read) becomes a job with its problem set. The
// files go to `jobs`, and the identity of each one that could be looked at to `sources`.
void collectInputs(const std::vector<std::string>& paths, const InputRules& rules, const InputEvents& events,
    Yielder& yielder, JobTable& jobs, IdentitySet& sources);

} // namespace papyrant
