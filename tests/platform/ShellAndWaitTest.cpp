#include "platform/Process.h"
#include "platform/ProcessWait.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace papyrant {
namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// No child of this test may be left unreaped.
void expectNoChildLeft()
{
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ShellAndWait, WindowStyleOutsideZeroToSixBecomesSix)
{
    EXPECT_EQ(normaliseWindowStyle(5), 5);
    EXPECT_EQ(normaliseWindowStyle(0), 0);
    EXPECT_EQ(normaliseWindowStyle(6), 6);
    EXPECT_EQ(normaliseWindowStyle(7), 6);
    EXPECT_EQ(normaliseWindowStyle(-1), 6);
    EXPECT_EQ(normaliseWindowStyle(std::nullopt), 6);
}

TEST(ShellAndWait, WaitEndsAfterThePassThatFoundTheProcessEndedWhateverItsCode)
{
    test::ScriptedYielder yielder;
    yielder.realTime = false;
    const auto noEnd = []() -> std::int32_t {
        ADD_FAILURE() << "ended a process that was not asked to stop";
        return 0;
    };

    // Ended at the first look: one full pass, yield and pause included.
    int reads = 0;
    EXPECT_EQ(waitForProcess([&] { return ExitState { ++reads >= 1, 4 }; }, noEnd, yielder), 4);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(yielder.yields, 1);
    EXPECT_EQ(yielder.pauses, 1);
    EXPECT_EQ(yielder.paused, std::chrono::milliseconds(100));

    // An exit code of 259 (the code that means "still running") ends the wait like any other.
    yielder = test::ScriptedYielder();
    yielder.realTime = false;
    reads = 0;
    EXPECT_EQ(waitForProcess([&] { return ExitState { ++reads == 3, 259 }; }, noEnd, yielder), 259);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(yielder.yields, 3);
    EXPECT_EQ(yielder.pauses, 3);
}

TEST(ShellAndWait, StopRequestEndsTheWaitAndTheProcess)
{
    test::ScriptedYielder yielder;
    yielder.realTime = false;
    yielder.onYield = [&] { yielder.stop = yielder.yields >= 2; };
    int ended = 0;
    const auto result = waitForProcess(
        [] {
            return ExitState { false, 259 };
        },
        [&] {
            ++ended;
            return 143;
        },
        yielder);
    EXPECT_EQ(result, 143);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(yielder.yields, 2);

    // A real child: terminated, and one that ignores the request is killed; neither is left behind.
    for (const char* command : { "/bin/sleep 30", "/bin/sh -c \"trap '' TERM; exec /bin/sleep 30\"" }) {
        test::ScriptedYielder stopping;
        stopping.onYield = [&] { stopping.stop = stopping.yields >= 2; };
        const std::int32_t code = ShellAndWait(command, std::nullopt, stopping);
        EXPECT_TRUE(code == 128 + SIGTERM || code == 128 + SIGKILL) << command << " gave " << code;
        EXPECT_EQ(stopping.yields, 2) << command;
    }
    expectNoChildLeft();
}

TEST(ShellAndWait, ReturnsTheChildsExitCodeAndPassesArgumentsExactly)
{
    test::TempDir dir;
    const std::string out = (dir.path() / "args.txt").string();
    const std::vector<std::string> arguments { "a b", "", "q\"uote", "back\\slash\\", "line\nbreak", "ä" };
    std::string line = "/bin/sh -c " + QuoteArgument("printf '[%s]' \"$@\" > \"$0\"; read x || exit 7; exit 1") + " "
        + QuoteArgument(out);
    for (const auto& argument : arguments)
        line += " " + QuoteArgument(argument);

    test::ScriptedYielder yielder;
    EXPECT_EQ(ShellAndWait(line, 1, yielder), 7); // stdin is empty, so read fails
    EXPECT_GE(yielder.yields, 1);
    EXPECT_EQ(yielder.yields, yielder.pauses);
    EXPECT_EQ(readFile(out), "[a b][][q\"uote][back\\slash\\][line\nbreak][ä]");

    // A bare name is found on PATH; a death by signal is a non-zero code.
    EXPECT_EQ(ShellAndWait("true", std::nullopt, yielder), 0);
    EXPECT_EQ(ShellAndWait("sh -c \"kill -KILL $$\"", std::nullopt, yielder), 128 + SIGKILL);
    expectNoChildLeft();
}

TEST(ShellAndWait, ProgramThatCannotStartGivesTheErrorNumberPlusTheObjectBaseAtOnce)
{
    test::TempDir dir;
    const auto plain = dir.path() / "plain.txt";
    std::ofstream(plain) << "not a program\n";
    std::filesystem::permissions(plain, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    struct Case
    {
        std::string commandLine;
        std::int32_t expected;
    };
    const std::vector<Case> cases {
        { "\"" + (dir.path() / "missing").string() + "\" /p \"a.xml\"", -2147221451 }, // 53 File not found
        { " /p \"a.xml\"", -2147221451 }, // no word pad registered: the switch is taken for the program
        { "no-such-program-anywhere-xyz", -2147221451 }, // not on PATH
        { "\"" + dir.str() + "\"", kObjectErrorBase + err::kPermissionDenied }, // a folder
        { "\"" + plain.string() + "\" x", kObjectErrorBase + err::kPermissionDenied }, // not executable
        { "", kObjectErrorBase + err::kInvalidProcedureCall },
        { "\"\" x", kObjectErrorBase + err::kFileNotFound },
    };
    for (const auto& c : cases) {
        test::ScriptedYielder yielder;
        EXPECT_EQ(ShellAndWait(c.commandLine, std::nullopt, yielder), c.expected) << c.commandLine;
        EXPECT_EQ(yielder.yields, 0) << c.commandLine;
    }
    expectNoChildLeft();
}

} // namespace
} // namespace papyrant
