#pragma once

#include "print/EncodingChoice.h"
#include "print/PrintStyle.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace papyrant {

class AtomicFile;

// One file to print as a PDF: where its text comes from, where the PDF goes and what the PDF says about itself.
struct RenderRequest
{
    // The source: an open descriptor of a regular file, which the render takes over and closes; or, when it is
    // -1, the file at sourcePath (relative to sourceFolder when that is an open folder), opened by the render.
    int sourceDescriptor = -1;
    int sourceFolder = -1;
    std::string sourcePath;
    // The PDF: appears whole at `target` (relative to targetFolder when that is an open folder) or not at all.
    int targetFolder = -1;
    std::string target;
    std::string title; // the document's title, usually the source's file name
    std::string creator; // the program that made the PDF
    PrintStyle style {};
    // Looked at between reads of the source; once raised, nothing is written.
    const std::atomic<bool>* stop = nullptr;
    // When set, puts the finished and synced PDF in place instead of file.commit(), so that the caller can check
    // and name it in one step; returns the empty text, or why the PDF was not put in place.
    std::function<std::string(AtomicFile& file)> commit;
};

struct RenderOutcome
{
    enum class Status
    {
        Written,
        Failed,
        Stopped, // the stop was raised first: nothing was written
    };
    Status status = Status::Failed;
    int pages = 0;
    std::uint64_t bytes = 0;
    std::string reason; // Failed: why, for a person, without the source's name
    EncodingChoice encoding; // Written: what the text was read as, and why
};

// Renders the text of one file into a PDF. Anything but a regular file is refused without being opened for
// long, so a FIFO cannot block. Whatever goes wrong (the source, the disk, the renderer itself) ends this file
// with a reason and leaves no PDF behind; nothing escapes to the caller. Several threads may render at once:
// each call owns all of its renderer objects.
RenderOutcome renderFile(const RenderRequest& request);

// Why a PDF could not be written, in the words every program that renders uses.
std::string writeFailureReason(const AtomicFile& file);

} // namespace papyrant
