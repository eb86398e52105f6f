#pragma once

#include <functional>
#include <memory>

namespace papyrant {

// A conversion run's hold on the user's run lock. One run at a time per user: two runs at once would share the
// PDF printer's registry values and the default printer. Destroying the hold lets the lock go; so does the end
// of the program, however it ends.
class RunLock
{
public:
    virtual ~RunLock() = default;
};

// Takes the user's run lock without waiting; nothing while another run holds it. When the lock cannot be had at
// all (its file cannot be created), the hold is an empty one: the run goes on rather than wait for ever.
std::unique_ptr<RunLock> tryAcquireRunLock();

// How a run takes the lock: tryAcquireRunLock in the program, a scripted lock in tests.
using RunLockTaker = std::function<std::unique_ptr<RunLock>()>;

} // namespace papyrant
