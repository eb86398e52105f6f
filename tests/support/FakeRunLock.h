#pragma once

#include "platform/RunLock.h"

#include <functional>
#include <memory>

namespace papyrant::test {

// A run lock that another run holds for the next `busyFor` attempts, and that records when a run takes it and
// lets it go.
class FakeRunLock
{
public:
    RunLockTaker taker()
    {
        return [this]() -> std::unique_ptr<RunLock> {
            ++attempts;
            if (busyFor > 0) {
                --busyFor;
                return nullptr;
            }
            held = true;
            if (onAcquire)
                onAcquire();
            return std::make_unique<Hold>(*this);
        };
    }

    int busyFor = 0;
    int attempts = 0;
    bool held = false;
    std::function<void()> onAcquire;
    std::function<void()> onRelease;

private:
    class Hold : public RunLock
    {
    public:
        explicit Hold(FakeRunLock& lock)
            : m_lock(lock)
        {
        }
        ~Hold() override
        {
            m_lock.held = false;
            if (m_lock.onRelease)
                m_lock.onRelease();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        FakeRunLock& m_lock;
    };
};

} // namespace papyrant::test
