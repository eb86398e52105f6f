// Everything the folder search leaves out is named and recorded; faults among them fail the run.
#include "tests/support/ConvertProgram.h"
#include "tests/support/OrdinaryUser.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

std::size_t lines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

// Permissions do not bind root, who runs CI: the program runs as an ordinary user.
TEST(ConvertSkippedNames, FaultsAreNamedEvenWhenQuietAndRuleSkipsOnlyInTheReport)
{
    EXPECT_TRUE(runAsOrdinaryUser([] {
        ConvertScene s;
        s.file("d/a.xml", "<a/>");
        s.file("d/s/inner.xml", "<i/>");
        s.file("d/.hidden.xml", "<h/>");
        const fs::path d = s.dir.path() / "d";
        fs::permissions(d / "s", fs::perms::none);
        fs::create_symlink("nowhere.xml", d / "dead.xml");
        fs::create_symlink("loop2.xml", d / "loop1.xml");
        fs::create_symlink("loop1.xml", d / "loop2.xml");
        ASSERT_EQ(::mkfifo((d / "pipe.xml").c_str(), 0600), 0);
        ASSERT_EQ(::link((d / "a.xml").c_str(), (d / "b.xml").c_str()), 0);

        ConvertProgram::Outcome outcome = s.run({ "-q", "--json", "r.json", "d" });
        EXPECT_EQ(outcome.code, 1) << outcome.errors;
        // Quiet: the faults alone, one line each.
        EXPECT_TRUE(contains(outcome.errors, "skipped \"d/s/\": a folder that cannot be read")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "skipped \"d/dead.xml\": a link that leads nowhere")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "skipped \"d/loop1.xml\": a loop of links")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "skipped \"d/loop2.xml\": a loop of links")) << outcome.errors;
        EXPECT_EQ(lines(outcome.errors), 4u) << outcome.errors;

        const std::string report = s.read("r.json");
        for (const std::string& record : {
                 "{\"source\":\"d/s/\",\"status\":\"skipped\",\"reason\":\"a folder that cannot be read\"}",
                 "{\"source\":\"d/dead.xml\",\"status\":\"skipped\",\"reason\":\"a link that leads nowhere\"}",
                 "{\"source\":\"d/pipe.xml\",\"status\":\"skipped\",\"reason\":\"a FIFO, not a file\"}",
                 "{\"source\":\"d/.hidden.xml\",\"status\":\"skipped\",\"reason\":\"a hidden file\"}",
                 "{\"source\":\"d/b.xml\",\"status\":\"same-file\",\"same_as\":\"d/a.xml\"}",
             })
            EXPECT_TRUE(contains(report, std::string(record) + "\n")) << record << "\n" << report;
        // a.xml converted, and seven names left out.
        EXPECT_EQ(lines(report), 8u) << report;
        EXPECT_TRUE(fs::exists(d / "a.pdf"));

        // Without the faults, what the rules leave out is said (the second name under --verbose) and is no failure.
        fs::permissions(d / "s", fs::perms::owner_all);
        fs::remove_all(d / "s");
        for (const char* name : { "dead.xml", "loop1.xml", "loop2.xml" })
            fs::remove(d / name);
        outcome = s.run({ "--verbose", "d" });
        EXPECT_EQ(outcome.code, 0) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "skipped \"d/pipe.xml\": a FIFO, not a file")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "\"d/b.xml\": same file as \"d/a.xml\"")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "converted 1 of 1 file, 3 skipped")) << outcome.errors;
    }));
}

// Two sources whose PDFs are one file under two spellings, here through a linked folder: one is converted, the
// other fails; which one may depend on timing, never are both reported converted.
TEST(ConvertSkippedNames, TwoSpellingsOfOnePdfNeverBothConvert)
{
    ConvertScene s;
    s.file("d1/x.xml", "<x>lower</x>");
    s.file("d1/x.XML", "<x>upper</x>");
    fs::create_directory_symlink("d1", s.dir.path() / "d2");
    for (int round = 0; round < 3; ++round) {
        fs::remove(s.dir.path() / "d1/x.pdf");
        const ConvertProgram::Outcome outcome = s.run({ "-j", "2", "--json", "-", "d1/x.xml", "d2/x.XML" });
        EXPECT_EQ(outcome.code, 1) << outcome.errors;
        const std::string& report = outcome.output;
        std::size_t converted = 0;
        for (std::size_t at = 0; (at = report.find("\"status\":\"converted\"", at)) != std::string::npos; ++at)
            ++converted;
        EXPECT_EQ(converted, 1u) << report;
        EXPECT_TRUE(contains(report, "\"status\":\"failed\"")) << report;
        EXPECT_TRUE(contains(outcome.errors, ": same PDF as \"d")) << outcome.errors;
        EXPECT_EQ(s.namesIn("d1"), (std::vector<std::string> { "x.XML", "x.pdf", "x.xml" }));
    }

    // --no-clobber keeps a PDF that was there before; the second spelling finds it there too.
    const ConvertProgram::Outcome kept = s.run({ "--no-clobber", "d1/x.xml", "d2/x.XML" });
    EXPECT_EQ(kept.code, 0) << kept.errors;
}
