#include "tests/platform/FreshConfigHome.h"

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace papyrant {
namespace {

struct ToolRun
{
    int exitCode = -1;
    std::string out;
};

// Runs the real tool (from the build's program folder) with the test's XDG_CONFIG_HOME; stdout is captured.
ToolRun runTool(const std::vector<std::string>& arguments)
{
    const char* bin = std::getenv("PAPYRANT_BIN_DIR");
    const std::string program = std::string(bin ? bin : ".") + "/papyrant-platform";
    std::vector<char*> argv { const_cast<char*>(program.c_str()) };
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    ToolRun run;
    int fds[2];
    if (::pipe(fds) != 0)
        return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::close(fds[0]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    std::array<char, 4096> buffer {};
    ssize_t got = 0;
    while ((got = ::read(fds[0], buffer.data(), buffer.size())) > 0)
        run.out.append(buffer.data(), static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

TEST(PapyrantPlatformTool, SetupRegistersTheWordPadAndThePrinterOnce)
{
    test::FreshConfigHome home;
    ASSERT_EQ(runTool({ "setup" }).exitCode, 0);
    ASSERT_EQ(runTool({ "setup" }).exitCode, 0);
    EXPECT_EQ(runTool({ "printers" }).out, "* Quillmark PDF Writer\n");

    const ToolRun server = runTool({ "reg", "get", "HKCR", "wordpad.document.1\\Protocol\\StdFileEditing\\Server" });
    EXPECT_EQ(server.exitCode, 0);
    ASSERT_GE(server.out.size(), 2u);
    EXPECT_EQ(server.out.front(), '"');
    EXPECT_NE(server.out.find("/padprint\"\n"), std::string::npos) << server.out;

    EXPECT_EQ(runTool({ "add-printer", "Laser" }).exitCode, 0);
    EXPECT_EQ(runTool({ "set-default", "Laser" }).exitCode, 0);
    EXPECT_EQ(runTool({ "printers" }).out, "  Quillmark PDF Writer\n* Laser\n");
    EXPECT_EQ(runTool({ "set-default", "Nobody" }).exitCode, 1);
    EXPECT_EQ(runTool({ "remove-printer", "Laser" }).exitCode, 0);
    EXPECT_EQ(runTool({ "printers" }).out, "* Quillmark PDF Writer\n");
}

TEST(PapyrantPlatformTool, RegistryValuesCanBeSetAndReadAndBadUseIsRefused)
{
    test::FreshConfigHome home;
    EXPECT_EQ(runTool({ "reg", "set", "HKEY_CURRENT_USER", "Software\\Quillmark PDF Writer", "OutputFile",
                          "/tmp/it's here.pdf" })
                  .exitCode,
        0);
    EXPECT_EQ(
        runTool({ "reg", "get", "HKCU", "SOFTWARE\\Quillmark PDF Writer", "outputfile" }).out, "/tmp/it's here.pdf\n");
    EXPECT_EQ(runTool({ "reg", "get", "HKCU", "Software\\Quillmark PDF Writer" }).exitCode, 1); // no default value
    EXPECT_EQ(runTool({ "reg", "get", "HKLM", "Software" }).exitCode, 2);
    EXPECT_EQ(runTool({ "reg", "set", "HKCU", "Software" }).exitCode, 2);
    EXPECT_EQ(runTool({}).exitCode, 2);
    EXPECT_EQ(runTool({ "frobnicate" }).exitCode, 2);

    // A file that is not a database is reported, not overwritten.
    std::ofstream(home.databasePath(), std::ios::trunc) << std::string(200, 'x');
    EXPECT_EQ(runTool({ "printers" }).exitCode, 1);
    std::ifstream file(home.databasePath());
    std::string content;
    std::getline(file, content);
    EXPECT_EQ(content, std::string(200, 'x'));
}

} // namespace
} // namespace papyrant
