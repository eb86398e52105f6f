#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/RunLock.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <windows.h>

namespace papyrant {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts the child that takes the lock and keeps it for the given time; returns once it has tried.
HANDLE startLockHolder(const std::string& report, int milliseconds)
{
    std::string line = QuoteArgument(programFolder() + "\\win32_test_child.exe") + " lock " + QuoteArgument(report)
        + " " + std::to_string(milliseconds);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return nullptr;
    ::CloseHandle(started.hThread);
    for (int i = 0; i < 500 && readFile(report).empty(); ++i)
        ::Sleep(10);
    return started.hProcess;
}

TEST(Win32RunLock, OneRunAtATimeAcrossProgramsAndACrashedRunLetsGo)
{
    test::TempDir dir;
    const std::string report = dir.str() + "\\lock.txt";

    // Another program holds the lock: this one cannot have it.
    const HANDLE holder = startLockHolder(report, 1500);
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(readFile(report), "held");
    EXPECT_EQ(tryAcquireRunLock(), nullptr);

    // It ends without letting go, as a crashed program would: the next run gets the lock.
    ASSERT_EQ(::WaitForSingleObject(holder, 30000), WAIT_OBJECT_0);
    ::CloseHandle(holder);
    auto lock = tryAcquireRunLock();
    EXPECT_NE(lock, nullptr);

    // While this program holds it, another cannot have it; once let go, it can.
    const HANDLE second = startLockHolder(report + "2", 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(readFile(report + "2"), "busy");
    ::WaitForSingleObject(second, 30000);
    ::CloseHandle(second);
    lock.reset();
    const HANDLE third = startLockHolder(report + "3", 0);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(readFile(report + "3"), "held");
    ::WaitForSingleObject(third, 30000);
    ::CloseHandle(third);
}

} // namespace
} // namespace papyrant
