// A report FIFO that nobody reads must not make the program deaf to Ctrl-C and SIGTERM.
#include "tests/support/ConvertProgram.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

TEST(ConvertReportFifo, SignalsStopTheWaitForAReader)
{
    ConvertScene s;
    s.file("x.xml", "<x/>");
    ASSERT_EQ(::mkfifo((s.dir.path() / "r").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((s.dir.path() / "in.xml").c_str(), 0600), 0);
    for (const auto& [signal, code] : { std::pair { SIGINT, 130 }, std::pair { SIGTERM, 143 } }) {
        // The FIFO among the sources is named by the search, which comes just before the report is opened: its
        // line says the program is past starting up.
        const pid_t pid = s.program.start({ "--json", "r", "x.xml", "." });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!contains(readFile(s.dir.path() / ".stderr"), "in.xml") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::kill(pid, signal);
        const ConvertProgram::Outcome outcome = s.program.finish(pid, std::chrono::seconds(2));
        EXPECT_EQ(outcome.code, code) << outcome.errors;
        EXPECT_FALSE(fs::exists(s.dir.path() / "x.pdf"));
    }
}
