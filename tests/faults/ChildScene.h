#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

namespace papyrant::test {

struct ChildOutcome
{
    bool passed = false;
    std::string skipReason; // not empty when the child could not become an ordinary user
};

// A scene run in a child process, another program as far as the system is concerned. Its expectations are
// checked in the child, which reports them by its exit status. A forked child must not inherit an open
// registry database: start it before this program opens one.
class ChildScene
{
public:
    enum class User
    {
        This,
        // "nobody" when this program runs as root, whom no permission stops.
        Ordinary,
    };

    explicit ChildScene(const std::function<void()>& scene, User user = User::This);
    // Kills a child still running.
    ~ChildScene();
    ChildScene(const ChildScene&) = delete;
    ChildScene& operator=(const ChildScene&) = delete;

    // Waits for the child; one that outlives the limit is killed and fails.
    ChildOutcome wait(int limitSeconds = 60);

private:
    pid_t m_pid = -1;
    int m_reasonPipe = -1;
};

} // namespace papyrant::test
