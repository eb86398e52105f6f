#pragma once

#include <atomic>

namespace papyrant {

// SIGINT and SIGTERM turned into a stop request, and a descriptor that becomes readable when a stop is raised or
// a worker calls wake(), so that the main thread can sleep in poll() and still answer Ctrl-C at once. One
// instance per process; the handlers stay installed after it is gone.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Raised by the first SIGINT or SIGTERM; the renderer looks at it between reads.
    const std::atomic<bool>& stop() const;
    // The signal that raised the stop, 0 when none did.
    int signalNumber() const;

    // Wakes the thread waiting on waitDescriptor(); safe from any thread.
    void wake();
    int waitDescriptor() const;
    // Empties the descriptor after a wake-up.
    void drain();
};

} // namespace papyrant
