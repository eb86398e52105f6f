#pragma once

#include "print/AtomicFile.h"
#include "print/MergedPdf.h"
#include "print/PrintStyle.h"
#include "tools/papyrant-convert/ConvertJob.h"
#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace papyrant {

// Why the merged PDF may not be written at `path`, or the empty text: it would replace a source of the batch
// (by identity, whatever the spelling), or something that is not a file.
std::string mergeConflict(const std::string& path, const IdentitySet& sources);

// --merge: the files of a batch, one after another in the batch's order, as one PDF that appears at its path
// whole when the batch ends, or not at all (after a stop, or when no file could be merged, an old file of that
// name stays as it was).
class MergeRun
{
public:
    MergeRun(std::string path, const PrintStyle& style);
    MergeRun(const MergeRun&) = delete;
    MergeRun& operator=(const MergeRun&) = delete;

    const std::string& path() const
    {
        return m_path;
    }
    // Makes the unnamed file in the PDF's folder and loads the fonts; the empty text, or why that failed.
    std::string open();
    // Prints the job's source as the next file: Converted with its first page, or Failed with why (the file is
    // then left out of the PDF). NotDone when the PDF can take no more files (a stop came, the disk is full):
    // finish() then says why.
    FileResult add(const ConvertJob& job, const std::atomic<bool>& stop);
    // The files merged so far.
    int files() const
    {
        return m_merged ? m_merged->files() : 0;
    }
    // Ends the PDF and puts it in place; the empty text, or why it could not be (no file was merged, a file could
    // not be added, the PDF could not be written).
    std::string finish();
    // The size of the PDF once in place.
    std::uint64_t bytes() const
    {
        return m_file.size();
    }

private:
    std::string m_path;
    PrintStyle m_style;
    AtomicFile m_file;
    std::optional<MergedPdf> m_merged;
    std::string m_broken; // set when the PDF can no longer be finished: why
};

} // namespace papyrant
