#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace papyrant::test {

// Makes this process an ordinary user, whom permissions bind: "nobody" when it runs as root (as CI does). Returns
// why that could not be done; empty when the process now is such a user.
inline std::string becomeOrdinaryUser()
{
    if (::geteuid() != 0)
        return {};
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        return "there is no user \"nobody\" to run as";
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
        return "cannot become the user \"nobody\"";
    if (::setuid(0) == 0)
        return "root privileges could not be given up";
    return {};
}

// Runs the scene in a forked child as an ordinary user with a home folder of its own (the user's caches must be
// writable). The scene builds its own files, since the caller's may be closed to that user; its expectations are
// checked in the child and come back as the child's exit status. A user that cannot be had fails the test: a
// skipped case would never exercise the permission checks in CI.
inline ::testing::AssertionResult runAsOrdinaryUser(const std::function<void()>& scene, int limitSeconds = 60)
{
    constexpr int kNoUser = 77;
    int reasonPipe[2];
    if (::pipe(reasonPipe) != 0)
        return ::testing::AssertionFailure() << "pipe";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return ::testing::AssertionFailure() << "fork";
    if (child == 0) {
        ::close(reasonPipe[0]);
        const std::string reason = becomeOrdinaryUser();
        if (!reason.empty()) {
            if (::write(reasonPipe[1], reason.data(), reason.size()) < 0)
                std::perror("write");
            ::_exit(kNoUser);
        }
        char home[] = "/tmp/papyrant-user-XXXXXX";
        bool passed = false;
        if (::mkdtemp(home)) {
            ::setenv("HOME", home, 1);
            ::setenv("XDG_CACHE_HOME", home, 1);
            try {
                scene();
                passed = !::testing::Test::HasFailure();
            } catch (const std::exception& error) {
                ADD_FAILURE() << "the scene threw: " << error.what();
            }
            std::error_code ignored;
            std::filesystem::remove_all(home, ignored);
        } else {
            ADD_FAILURE() << "cannot create a home folder";
        }
        std::fflush(nullptr);
        // No destructors or exit handlers: the parent's objects are copies here, and theirs to clean up.
        ::_exit(passed ? 0 : 1);
    }
    ::close(reasonPipe[1]);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    bool late = false;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            late = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    char reason[512];
    const ssize_t length = ::read(reasonPipe[0], reason, sizeof reason);
    ::close(reasonPipe[0]);
    if (late)
        return ::testing::AssertionFailure() << "the child did not end within " << limitSeconds << " s";
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoUser)
        return ::testing::AssertionFailure()
            << "no ordinary user to run as: " << std::string(reason, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "see the failures above, from the child process";
    return ::testing::AssertionSuccess();
}

} // namespace papyrant::test
