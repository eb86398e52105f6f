#pragma once

#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"

#include <optional>
#include <string>

namespace papyrant {

class StopSignals;

// Why the --json report may not be written at `path`, or the empty text: it would replace a source of the batch
// (by identity, whatever the spelling), an existing XML file, or a PDF the batch writes (one of each file's, or
// the merged PDF). A PDF not written yet is compared by its folder's identity and its name.
std::string reportConflict(const std::string& path, const JobTable& jobs, const IdentitySet& sources,
    const std::optional<std::string>& mergedPdf = std::nullopt);

struct OpenedReport
{
    int fd = -1;
    bool stopped = false; // a stop came while a FIFO waited for its reader
    std::string failure; // when neither
};

// Opens the report for writing, replacing what the file held. A FIFO is waited for until it has a reader or a
// stop is raised, so that Ctrl-C is never ignored.
OpenedReport openReport(const std::string& path, StopSignals& signals);

} // namespace papyrant
