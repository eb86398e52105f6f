#include "tests/faults/ChildScene.h"

#include "tests/faults/FaultScene.h"
#include "tests/support/OrdinaryUser.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace papyrant::test {

namespace {

constexpr int kSkipped = 77;

// Why the child cannot be an ordinary user that can run the programs; empty when it now is one.
std::string becomeOrdinaryUser()
{
    if (std::string reason = test::becomeOrdinaryUser(); !reason.empty())
        return reason;
    if (::access((binDir() / "padprint").c_str(), X_OK) != 0
        || ::access((binDir() / "papyrant-platform").c_str(), X_OK) != 0)
        return "the user cannot run the programs in " + binDir().string();
    return {};
}

// A home of its own for an ordinary user: the user's caches (fontconfig's) must be writable or absent.
bool runInOwnHome(const std::function<void()>& scene)
{
    char home[] = "/tmp/papyrant-user-XXXXXX";
    if (!::mkdtemp(home)) {
        ADD_FAILURE() << "cannot create a home folder";
        return false;
    }
    ::setenv("HOME", home, 1);
    ::setenv("XDG_CACHE_HOME", home, 1);
    scene();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return true;
}

[[noreturn]] void runChild(const std::function<void()>& scene, ChildScene::User user, int reasonPipe)
{
    if (user == ChildScene::User::Ordinary) {
        const std::string reason = becomeOrdinaryUser();
        if (!reason.empty()) {
            if (::write(reasonPipe, reason.data(), reason.size()) < 0)
                std::perror("write");
            ::_exit(kSkipped);
        }
    }
    bool passed = false;
    try {
        if (user == ChildScene::User::Ordinary) {
            passed = runInOwnHome(scene);
        } else {
            scene();
            passed = true;
        }
        passed = passed && !::testing::Test::HasFailure();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "the scene threw: " << error.what();
    }
    std::fflush(nullptr);
    // No destructors or exit handlers: the parent's objects are copies here, and theirs to clean up.
    ::_exit(passed ? 0 : 1);
}

} // namespace

ChildScene::ChildScene(const std::function<void()>& scene, User user)
{
    int reasonPipe[2];
    if (::pipe(reasonPipe) != 0) {
        ADD_FAILURE() << "pipe";
        return;
    }
    std::fflush(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(reasonPipe[0]);
        runChild(scene, user, reasonPipe[1]);
    }
    ::close(reasonPipe[1]);
    m_reasonPipe = reasonPipe[0];
    if (m_pid < 0)
        ADD_FAILURE() << "fork";
}

ChildScene::~ChildScene()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_reasonPipe >= 0)
        ::close(m_reasonPipe);
}

ChildOutcome ChildScene::wait(int limitSeconds)
{
    ChildOutcome outcome;
    if (m_pid <= 0)
        return outcome;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            ADD_FAILURE() << "the child did not end within " << limitSeconds << " s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSkipped) {
        char buffer[512];
        const ssize_t length = ::read(m_reasonPipe, buffer, sizeof buffer);
        outcome.skipReason = length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : "skipped";
    }
    outcome.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

} // namespace papyrant::test
