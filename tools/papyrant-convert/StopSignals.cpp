#include "tools/papyrant-convert/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace papyrant {

namespace {

// A signal handler can only reach globals; all are lock-free atomics, so the handler may touch them.
std::atomic<bool> gStop { false };
std::atomic<int> gSignal { 0 };
std::atomic<int> gReadEnd { -1 };
std::atomic<int> gWriteEnd { -1 };

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void writeWakeByte()
{
    const int saved = errno;
    const int fd = gWriteEnd.load();
    const char byte = 1;
    // A full pipe already holds a wake-up.
    if (fd >= 0) [[maybe_unused]]
        const ssize_t ignored = ::write(fd, &byte, 1);
    errno = saved;
}

void onStopSignal(int number)
{
    int none = 0;
    gSignal.compare_exchange_strong(none, number);
    gStop.store(true);
    writeWakeByte();
}

// Keeps SIGINT and SIGTERM away from this thread while it lives, so that a handler cannot run between the taking
// of a descriptor and its close, and write into a number the system has given to another file.
class StopSignalsBlocked
{
public:
    StopSignalsBlocked()
    {
        sigset_t both;
        sigemptyset(&both);
        sigaddset(&both, SIGINT);
        sigaddset(&both, SIGTERM);
        ::pthread_sigmask(SIG_BLOCK, &both, &m_previous);
    }
    ~StopSignalsBlocked()
    {
        ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    StopSignalsBlocked(const StopSignalsBlocked&) = delete;
    StopSignalsBlocked& operator=(const StopSignalsBlocked&) = delete;

private:
    sigset_t m_previous;
};

} // namespace

StopSignals::StopSignals()
{
    int ends[2] = { -1, -1 };
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_failure = std::strerror(errno);
    } else {
        gReadEnd.store(ends[0]);
        gWriteEnd.store(ends[1]);
    }
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals()
{
    // The handlers stay installed and may still fire in another thread: they find -1 and write nothing. In this
    // thread they wait until the descriptors are gone.
    const StopSignalsBlocked blocked;
    const int readEnd = gReadEnd.exchange(-1);
    const int writeEnd = gWriteEnd.exchange(-1);
    if (readEnd >= 0)
        ::close(readEnd);
    if (writeEnd >= 0)
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

bool StopSignals::wait(int milliseconds)
{
    const int fd = gReadEnd.load();
    if (fd < 0)
        return gStop.load(); // never made: the constructor's caller refuses to start
    pollfd wait { fd, POLLIN, 0 };
    if (!gStop.load())
        ::poll(&wait, 1, milliseconds);
    char buffer[256];
    while (::read(fd, buffer, sizeof buffer) > 0) { }
    return gStop.load();
}

bool StopSignals::waitFor(int fd)
{
    pollfd both[2] = { { fd, POLLIN, 0 }, { gReadEnd.load(), POLLIN, 0 } };
    while (!gStop.load() && ::poll(both, 2, -1) < 0 && errno == EINTR) { }
    return gStop.load();
}

} // namespace papyrant
