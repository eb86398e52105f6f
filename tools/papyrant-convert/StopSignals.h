#pragma once

#include <atomic>
#include <string>

namespace papyrant {

// SIGINT and SIGTERM turned into a stop request, and a wait that ends when a stop is raised or a worker calls
// wake(), so that the main thread can sleep and still answer Ctrl-C at once. One instance per process; the
// handlers stay installed after it is gone.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Empty when the wake-up pipe could be made; else why not (the batch must then not start: no wait would
    // end on a signal).
    const std::string& failure() const
    {
        return m_failure;
    }

    // Raised by the first SIGINT or SIGTERM; the renderer looks at it between reads.
    const std::atomic<bool>& stop() const;
    // The signal that raised the stop, 0 when none did.
    int signalNumber() const;

    // Wakes the thread in wait(); safe from any thread.
    void wake();
    // Sleeps until a wake-up, a stop, or the time (-1: no limit) has passed; takes the wake-ups in. True once a
    // stop has been raised.
    bool wait(int milliseconds);
    // Sleeps until `fd` can be read or a stop is raised; true once a stop has been raised.
    bool waitFor(int fd);

private:
    std::string m_failure;
};

} // namespace papyrant
