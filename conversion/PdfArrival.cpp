#include "conversion/PdfArrival.h"

#include "platform/ProcessWait.h"
#include "runtime/Yielder.h"

namespace papyrant {

PdfArrival waitForPdf(const std::string& target, const std::optional<FileSnapshot>& before,
    std::chrono::milliseconds limit, Yielder& yielder)
{
    using Clock = std::chrono::steady_clock;
    std::optional<FileSnapshot> seen = before;
    Clock::time_point lastChange = Clock::now();
    while (true) {
        const std::optional<FileSnapshot> now = fileSnapshot(target);
        if (now && now->regular && now != before && opensWithoutWriteSharing(target))
            return PdfArrival::Written;
        // A file that appears or grows is a printer at work: the limit counts from its last change.
        if (now != seen) {
            seen = now;
            lastChange = Clock::now();
        }
        if (Clock::now() - lastChange >= limit)
            return PdfArrival::NotWritten;
        yielder.yield();
        yielder.pause(kProcessPollInterval);
        if (yielder.stopRequested())
            return PdfArrival::Stopped;
    }
}

} // namespace papyrant
