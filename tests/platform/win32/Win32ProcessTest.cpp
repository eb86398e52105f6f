#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace papyrant {
namespace {

// The child program is built beside the tests.
std::string childProgram()
{
    return programFolder() + "\\win32_test_child.exe";
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Win32ProcessTest : public ::testing::Test
{
protected:
    std::int32_t run(const std::string& arguments, std::optional<int> style = std::nullopt)
    {
        return ShellAndWait(QuoteArgument(childProgram()) + " " + arguments, style, m_yielder);
    }

    test::ScriptedYielder m_yielder;
    test::TempDir m_dir;
};

TEST_F(Win32ProcessTest, WaitEndsWithTheProcessWhateverItsExitCode)
{
    ASSERT_TRUE(IsExistingFile(childProgram()));
    for (const auto& [exitCode, expected] : std::vector<std::pair<std::string, std::int32_t>> {
             { "0", 0 }, { "3", 3 }, { "259", 259 }, { "4294967295", -1 } }) {
        m_yielder.pauses = m_yielder.yields = 0;
        // 259 is what a running process reports: only the signalled handle tells that it has ended.
        EXPECT_EQ(run("exit " + exitCode), expected) << exitCode;
        EXPECT_GE(m_yielder.pauses, 1) << "a process that ends at once still costs one pass";
        EXPECT_EQ(m_yielder.yields, m_yielder.pauses);
    }
    m_yielder.pauses = 0;
    EXPECT_EQ(run("sleep 400"), 0);
    EXPECT_GE(m_yielder.pauses, 2) << "the wait polls while the process runs";
}

TEST_F(Win32ProcessTest, FailedStartGivesTheRuntimeErrorPlusTheObjectBaseWithoutWaiting)
{
    const std::string missing = m_dir.str() + "\\no such program.exe";
    EXPECT_EQ(ShellAndWait(QuoteArgument(missing) + " /p \"x.xml\"", 6, m_yielder), -2147221451); // 53
    EXPECT_EQ(ShellAndWait(" /p \"x.xml\"", 6, m_yielder), kObjectErrorBase + err::kFileNotFound)
        << "the command line of an unregistered word pad starts with the switch";
    EXPECT_EQ(ShellAndWait("", 6, m_yielder), kObjectErrorBase + err::kInvalidProcedureCall);
    // A file that is no program.
    const std::string notAProgram = m_dir.str() + "\\notes.txt";
    std::ofstream(notAProgram) << "not a program";
    EXPECT_LT(ShellAndWait(QuoteArgument(notAProgram), 6, m_yielder), 0);
    EXPECT_EQ(m_yielder.pauses, 0);
    EXPECT_EQ(m_yielder.yields, 0);
}

TEST_F(Win32ProcessTest, WindowStyleReachesTheChildAsItsShowWindowValue)
{
    const std::vector<std::pair<std::optional<int>, int>> cases = {
        { 0, SW_HIDE },
        { 1, SW_SHOWNORMAL },
        { 2, SW_SHOWMINIMIZED },
        { 3, SW_SHOWMAXIMIZED },
        { 4, SW_SHOWNOACTIVATE },
        { 5, SW_SHOW },
        { 6, SW_SHOWMINNOACTIVE },
        { 7, SW_SHOWMINNOACTIVE },
        { -1, SW_SHOWMINNOACTIVE },
        { std::nullopt, SW_SHOWMINNOACTIVE },
    };
    const std::string file = m_dir.str() + "\\show.txt";
    for (const auto& [style, expected] : cases) {
        ASSERT_EQ(run("show " + QuoteArgument(file), style), 0);
        EXPECT_EQ(readFile(file), std::to_string(expected)) << (style ? std::to_string(*style) : "none");
    }
}

TEST_F(Win32ProcessTest, CommandLineReachesTheProgramWithoutAShell)
{
    const std::string file = m_dir.str() + "\\args.txt";
    ASSERT_EQ(run("args " + QuoteArgument(file) + " a&b %PATH% \"two words\" >out.txt |x ^y"), 0);
    EXPECT_EQ(readFile(file), "a&b\n%PATH%\ntwo words\n>out.txt\n|x\n^y\n");
    EXPECT_FALSE(FileExists(programFolder() + "\\out.txt"));
}

TEST_F(Win32ProcessTest, VariablesInTheProgramAreExpandedAndArgumentsKeptAsGiven)
{
    // The word pad's stock registry value: a quoted program path that starts with a variable.
    ASSERT_TRUE(::SetEnvironmentVariableA("PAPYRANT_CHILD_DIR", programFolder().c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("PAPYRANT_NOT_SET", nullptr));
    const std::string file = m_dir.str() + "\\args.txt";
    EXPECT_EQ(ShellAndWait("\"%PAPYRANT_CHILD_DIR%\\win32_test_child.exe\" args " + QuoteArgument(file)
                      + " %PAPYRANT_CHILD_DIR% \"%TEMP%.xml\"",
                  1, m_yielder),
        0);
    EXPECT_EQ(readFile(file), "%PAPYRANT_CHILD_DIR%\n%TEMP%.xml\n") << "arguments are not expanded";
    // Unquoted, and with a variable that is not set: that stays as written, and the program is not found.
    EXPECT_EQ(ShellAndWait("%PAPYRANT_CHILD_DIR%\\win32_test_child.exe exit 7", 1, m_yielder), 7);
    EXPECT_LT(ShellAndWait("%PAPYRANT_NOT_SET%\\win32_test_child.exe exit 7", 1, m_yielder), -2147221504 + 100)
        << "a start that failed";
    ::SetEnvironmentVariableA("PAPYRANT_CHILD_DIR", nullptr);
}

TEST_F(Win32ProcessTest, ProgramAndArgumentsGoThroughTheAnsiCodePage)
{
    // The Windows stage runs in code page 1252 (scripts/test-windows.sh); another one is a broken stage.
    ASSERT_EQ(::GetACP(), 1252u) << "the names are those of code page 1252";
    const std::string folder = m_dir.str() + "\\R\xc3\xa9sum\xc3\xa9";
    ASSERT_TRUE(::CreateDirectoryA((m_dir.str() + "\\R\xe9sum\xe9").c_str(), nullptr));
    const std::string copy = folder + "\\child.exe";
    ASSERT_TRUE(::CopyFileA(childProgram().c_str(), (m_dir.str() + "\\R\xe9sum\xe9\\child.exe").c_str(), TRUE));
    const std::string file = m_dir.str() + "\\args.txt";
    ASSERT_EQ(ShellAndWait(QuoteArgument(copy) + " args " + QuoteArgument(file) + " na\xc3\xafve", 1, m_yielder), 0);
    EXPECT_EQ(readFile(file), "na\xefve\n"); // the child sees its arguments in the ANSI code page

    // An argument the code page cannot hold would reach the child as a look-alike ("A" for "\u0100") or "?":
    // nothing starts.
    for (const char* argument : { "\xc4\x80pple.xml", "\xd0\x96" }) {
        ::DeleteFileA(file.c_str());
        EXPECT_EQ(ShellAndWait(QuoteArgument(copy) + " args " + QuoteArgument(file) + " " + argument, 1, m_yielder),
            err::kInvalidProcedureCall + kObjectErrorBase)
            << argument;
        EXPECT_FALSE(FileExists(file)) << argument;
    }
}

TEST_F(Win32ProcessTest, StopRequestEndsTheChild)
{
    m_yielder.onYield = [this] { m_yielder.stop = true; };
    EXPECT_EQ(run("sleep 600000"), 1);
    EXPECT_EQ(m_yielder.pauses, 1);
}

} // namespace
} // namespace papyrant
