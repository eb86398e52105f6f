#include "platform/RunLock.h"

#include <windows.h>

namespace papyrant {

namespace {

// A named mutex in the session's namespace, owned by the run that holds it. The system hands an abandoned mutex
// to the next waiter when its owner ends without letting go, so a crashed run never blocks the next one.
constexpr const char* kMutexName = "Local\\Papyrant.ConversionRun";

class MutexRunLock : public RunLock
{
public:
    explicit MutexRunLock(HANDLE mutex)
        : m_mutex(mutex)
    {
    }
    ~MutexRunLock() override
    {
        if (m_mutex) {
            ReleaseMutex(m_mutex);
            CloseHandle(m_mutex);
        }
    }
    MutexRunLock(const MutexRunLock&) = delete;
    MutexRunLock& operator=(const MutexRunLock&) = delete;

private:
    HANDLE m_mutex;
};

} // namespace

std::unique_ptr<RunLock> tryAcquireRunLock()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!mutex)
        return std::make_unique<MutexRunLock>(nullptr);
    switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
        return std::make_unique<MutexRunLock>(mutex);
    case WAIT_TIMEOUT:
        CloseHandle(mutex);
        return nullptr;
    default:
        CloseHandle(mutex);
        return std::make_unique<MutexRunLock>(nullptr);
    }
}

} // namespace papyrant
