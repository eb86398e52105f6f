// "papyrant-convert -" is a filter: standard input in, the PDF out on standard output once it is whole.
#include "tests/support/ConvertProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

TEST(ConvertStandardInput, AFileOrAPipeBecomesAWholePdfOnStandardOutput)
{
    ConvertScene s;
    std::string text;
    for (int line = 0; line < 3000; ++line)
        text += "<line n=\"" + std::to_string(line) + "\">standard input</line>\n";
    s.file("in.xml", text);
    ASSERT_EQ(::mkfifo((s.dir.path() / "pipe").c_str(), 0600), 0);

    for (const std::string input : { "in.xml", "pipe" }) {
        // A pipe cannot be read twice: the program keeps what it reads in a file of its own.
        std::thread writer;
        if (input == "pipe")
            writer = std::thread([&] { std::ofstream(s.dir.path() / "pipe", std::ios::binary) << text; });
        ConvertSetup setup;
        setup.input = input;
        setup.output = "out.pdf";
        const ConvertProgram::Outcome outcome = s.program.run({ "-" }, setup);
        if (writer.joinable())
            writer.join();
        EXPECT_EQ(outcome.code, 0) << input << ": " << outcome.errors;
        std::string report;
        EXPECT_EQ(runProgram({ "qpdf", "--check", (s.dir.path() / "out.pdf").string() }, report, s.dir.path()), 0)
            << input << ": " << report;
        EXPECT_EQ(runProgram({ "pdfinfo", (s.dir.path() / "out.pdf").string() }, report, s.dir.path()), 0);
        EXPECT_TRUE(contains(report, "Title:           stdin")) << report;
        EXPECT_TRUE(contains(report, "Pages:           ")) << report;
    }
    // Nothing staged is left beside the files.
    EXPECT_EQ(s.namesIn("."), (std::vector<std::string> { ".stderr", "in.xml", "out.pdf", "pipe", "program.log" }));
}

TEST(ConvertStandardInput, DashWithAnythingElseOrATerminalIsAUsageError)
{
    ConvertScene s;
    s.file("in.xml", "<a/>");
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             { "-", "in.xml" }, { "--json", "r.json", "-" }, { "-o", "out", "-" }, { "-n", "-" } }) {
        ConvertSetup setup;
        setup.input = "in.xml";
        const ConvertProgram::Outcome outcome = s.program.run(arguments, setup);
        EXPECT_EQ(outcome.code, 2) << arguments[0] << " " << arguments[1];
        EXPECT_TRUE(outcome.output.empty());
    }

    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    ConvertSetup setup;
    setup.input = "in.xml";
    setup.output = ::ptsname(terminal);
    const ConvertProgram::Outcome outcome = s.program.run({ "-" }, setup);
    ::close(terminal);
    EXPECT_EQ(outcome.code, 2) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "terminal")) << outcome.errors;
    EXPECT_EQ(s.namesIn("."), (std::vector<std::string> { ".stderr", ".stdout", "in.xml" }));
}
