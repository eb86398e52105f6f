#include "platform/RunLock.h"

#include "tests/platform/FreshConfigHome.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace papyrant;
using namespace papyrant::test;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Another program: a child process that takes the lock, says so through a pipe, and holds it until killed.
class LockHolder
{
public:
    LockHolder()
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        std::fflush(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            const std::unique_ptr<RunLock> held = tryAcquireRunLock();
            const char answer = held ? 'y' : 'n';
            if (::write(ready[1], &answer, 1) != 1)
                ::_exit(1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char answer = 0;
        m_holds = m_pid > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        kill();
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool holds() const
    {
        return m_holds;
    }
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_holds = false;
};

TEST(RunLock, OneProgramHoldsItAtATimeAndItsEndFreesIt)
{
    FreshConfigHome config;
    {
        LockHolder other;
        ASSERT_TRUE(other.holds());
        EXPECT_TRUE(std::filesystem::exists(config.dir().path() / "papyrant" / "run.lock"));
        EXPECT_EQ(tryAcquireRunLock(), nullptr);
        EXPECT_EQ(tryAcquireRunLock(), nullptr) << "a failed attempt changes nothing";
        // Killed while holding it: nothing to clean up before the next run.
        other.kill();
        const std::unique_ptr<RunLock> mine = tryAcquireRunLock();
        ASSERT_NE(mine, nullptr);
        LockHolder blocked;
        EXPECT_FALSE(blocked.holds());
        // Also a second run in this program waits.
        EXPECT_EQ(tryAcquireRunLock(), nullptr);
    }
    LockHolder afterRelease;
    EXPECT_TRUE(afterRelease.holds());
}

TEST(RunLock, ProgramsStartedByTheHolderDoNotKeepItAfterTheHolderLetsGo)
{
    FreshConfigHome config;
    std::unique_ptr<RunLock> held = tryAcquireRunLock();
    ASSERT_NE(held, nullptr);
    // A plain fork and exec, which closes nothing on its own (unlike ShellAndWait).
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(child, 0);
    // Until the exec the child is a copy of this program, descriptors and all.
    const std::string comm = "/proc/" + std::to_string(child) + "/comm";
    for (int i = 0; i < 500 && readFile(comm) != "sleep\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(readFile(comm), "sleep\n");
    held.reset();
    EXPECT_NE(tryAcquireRunLock(), nullptr) << "the child still holds the lock";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(RunLock, TakenAlsoWhenItsFolderIsMissing)
{
    FreshConfigHome config;
    ::setenv("XDG_CONFIG_HOME", (config.dir().path() / "not" / "yet").c_str(), 1);
    EXPECT_NE(tryAcquireRunLock(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(config.dir().path() / "not" / "yet" / "papyrant" / "run.lock"));
}

} // namespace
