// A report FIFO that nobody reads must not make the program deaf to Ctrl-C and SIGTERM.
#include "tests/support/ConvertProgram.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

TEST(ConvertReportFifo, SignalsStopTheWaitForAReaderAndTheSummaryTellsTheTrueTime)
{
    ConvertScene s;
    s.file("x.xml", "<x/>");
    ASSERT_EQ(::mkfifo((s.dir.path() / "r").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((s.dir.path() / "in.xml").c_str(), 0600), 0);
    for (const auto& [signal, code] : { std::pair { SIGINT, 130 }, std::pair { SIGTERM, 143 } }) {
        // The FIFO among the sources is named by the search, which comes just before the report is opened: its
        // line says the program is past starting up.
        const auto started = std::chrono::steady_clock::now();
        const pid_t pid = s.program.start({ "--json", "r", "x.xml", "." });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!contains(readFile(s.dir.path() / ".stderr"), "in.xml") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::kill(pid, signal);
        const ConvertProgram::Outcome outcome = s.program.finish(pid, std::chrono::seconds(2));
        const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_EQ(outcome.code, code) << outcome.errors;
        EXPECT_FALSE(fs::exists(s.dir.path() / "x.pdf"));
        // Stopped before any file's turn (x.xml met twice, the FIFO passed over), the summary still counts the
        // time from the start.
        const std::size_t in = outcome.errors.rfind(" in ");
        ASSERT_NE(in, std::string::npos) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "stopped: converted 0 of 1 file, 2 skipped in ")) << outcome.errors;
        EXPECT_LE(std::stod(outcome.errors.substr(in + 4)), waited + 0.05) << outcome.errors;
    }
}
