#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace papyrant {

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
};

// The one place where papyrant-convert meets the renderer. Renders the text of the source file into a PDF at
// `target`, which appears whole (replacing a file of that name) or not at all. Anything but a regular file is
// refused without being opened for long, so a FIFO cannot block. `stop` is looked at between reads of the
// source. Several threads may render at once: each call owns all of its renderer objects.
RenderOutcome renderPdf(const std::string& source, const std::string& target, const std::atomic<bool>& stop);

} // namespace papyrant
