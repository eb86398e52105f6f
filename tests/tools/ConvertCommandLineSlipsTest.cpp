// A mistyped command line must never cost a file: the report's name and -o are checked before anything is touched.
#include "tests/support/ConvertProgram.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

const std::string kA = "<a>first source</a>\n";
const std::string kB = "<b>second source</b>\n";

} // namespace

TEST(ConvertCommandLineSlips, AReportNameThatWouldReplaceAFileIsRefusedBeforeAnythingIsWritten)
{
    ConvertScene s;
    s.file("a.xml", kA);
    s.file("b.xml", kB);
    s.file("d/c.xml", kA);
    ASSERT_EQ(::link((s.dir.path() / "a.xml").c_str(), (s.dir.path() / "hard.json").c_str()), 0);

    const std::vector<std::vector<std::string>> slips = {
        { "--json", "a.xml", "b.xml" }, // the shell's *.xml put a source first
        { "--json", "d/c.xml", "d/c.xml" }, { "--json", "a.pdf", "a.xml" }, // the PDF the batch is about to write
        { "--json", "./d/../a.pdf", "a.xml" }, // another spelling of it
        { "--json", "hard.json", "a.xml" }, // a second name of a source
    };
    for (const auto& arguments : slips) {
        const ConvertProgram::Outcome outcome = s.run(arguments);
        EXPECT_EQ(outcome.code, 2) << arguments[1] << ": " << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "JSON report")) << outcome.errors;
        EXPECT_EQ(s.read("a.xml"), kA);
        EXPECT_EQ(s.read("b.xml"), kB);
        EXPECT_EQ(s.read("d/c.xml"), kA);
        EXPECT_EQ(
            s.namesIn("."), (std::vector<std::string> { ".stderr", ".stdout", "a.xml", "b.xml", "d", "hard.json" }))
            << arguments[1];
    }

    // An existing PDF that is not the batch's may take the report; a later run finds that report in its folder and
    // leaves it out, by name.
    s.file("d/old.pdf", "an old PDF");
    ConvertProgram::Outcome outcome = s.run({ "--json", "d/old.pdf", "a.xml" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_TRUE(contains(s.read("d/old.pdf"), "\"status\":\"converted\"")) << s.read("d/old.pdf");
    outcome = s.run({ "--all-files", "--json", "d/report.json", "d" });
    outcome = s.run({ "--all-files", "--json", "d/report.json", "d" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "skipped \"d/report.json\": the JSON report of this run")) << outcome.errors;
    EXPECT_TRUE(contains(s.read("d/report.json"),
        "{\"source\":\"d/report.json\",\"status\":\"skipped\",\"reason\":\"the JSON report of this run\"}"))
        << s.read("d/report.json");
}

TEST(ConvertCommandLineSlips, AnOutputFolderThatCannotBeIsAUsageErrorWithOneMessage)
{
    ConvertScene s;
    s.file("a.xml", kA);
    s.file("taken", "a file, not a folder");
    for (const std::string folder : { "taken", "taken/sub" }) {
        const ConvertProgram::Outcome outcome = s.run({ "-o", folder, "a.xml" });
        EXPECT_EQ(outcome.code, 2) << folder;
        EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "\"" + folder + "\"")) << outcome.errors;
    }
    EXPECT_EQ(s.read("taken"), "a file, not a folder");
    EXPECT_FALSE(fs::exists(s.dir.path() / "a.pdf"));
}

// Without a descriptor for its signal pipe the program could not answer Ctrl-C: it touches nothing.
TEST(ConvertCommandLineSlips, NoRoomForTheSignalPipeStopsBeforeAnyFile)
{
    ConvertScene s;
    s.file("a.xml", kA);
    ConvertSetup setup;
    setup.openFiles = 4; // standard input, output and error, and one more: a pipe needs two
    const ConvertProgram::Outcome outcome = s.program.run({ "a.xml" }, setup);
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "nothing was converted")) << outcome.errors;
    EXPECT_FALSE(fs::exists(s.dir.path() / "a.pdf"));
}
