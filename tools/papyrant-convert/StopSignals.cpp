#include "tools/papyrant-convert/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace papyrant {

namespace {

// A signal handler can only reach globals; both are lock-free, so the handler may touch them.
std::atomic<bool> gStop { false };
std::atomic<int> gSignal { 0 };
int gPipe[2] = { -1, -1 };

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void writeWakeByte()
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t ignored = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

void onStopSignal(int number)
{
    int none = 0;
    gSignal.compare_exchange_strong(none, number);
    gStop.store(true);
    writeWakeByte();
}

} // namespace

StopSignals::StopSignals()
{
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        gPipe[0] = gPipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals()
{
    // The handlers may still fire: they must find no descriptor that could have been reused.
    const int readEnd = gPipe[0];
    const int writeEnd = gPipe[1];
    gPipe[0] = gPipe[1] = -1;
    ::close(readEnd);
    ::close(writeEnd);
}

const std::atomic<bool>& StopSignals::stop() const
{
    return gStop;
}

int StopSignals::signalNumber() const
{
    return gSignal.load();
}

void StopSignals::wake()
{
    writeWakeByte();
}

int StopSignals::waitDescriptor() const
{
    return gPipe[0];
}

void StopSignals::drain()
{
    char buffer[256];
    while (::read(gPipe[0], buffer, sizeof buffer) > 0) { }
}

} // namespace papyrant
