// --merge: every file of a batch in one PDF, read back with qpdf and pdftotext.
#include "tests/support/ConvertProgram.h"
#include "tests/support/MergedPdfChecks.h"
#include "tests/support/PdfChecks.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// A file whose first line names it, `lines` long; every line also needs the CJK and Hebrew faces, so that a writer
// that embedded a face once per file would show it.
std::string sourceText(const std::string& name, int lines)
{
    std::string text = "<!-- " + name + " begins -->\n";
    for (int line = 1; line < lines; ++line)
        text += "<row n=\"" + std::to_string(line) + "\">" + name + " \u4E2D\u6587 \u05E9\u05DC\u05D5\u05DD</row>\n";
    return text;
}

// The report's lines, each file's one.
Names reportLines(const std::string& report)
{
    Names lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The number after "field": in a report line; -1 for null or when it is missing.
int numberIn(const std::string& line, const std::string& field)
{
    const std::string key = "\"" + field + "\":";
    const std::size_t at = line.find(key);
    if (at == std::string::npos || line.compare(at + key.size(), 4, "null") == 0)
        return -1;
    return std::atoi(line.c_str() + at + key.size());
}

std::string sourceIn(const std::string& line)
{
    const std::size_t begin = line.find("\"source\":\"") + 10;
    return line.substr(begin, line.find('"', begin) - begin);
}

const std::string kOld = "the merged PDF of an earlier run";

} // namespace

TEST(ConvertMerge, OneBookmarkAndRestartingPageLabelsPerFileInTheReportsOrderWithEachFaceEmbeddedOnce)
{
    ConvertScene s;
    const std::vector<std::pair<std::string, int>> files
        = { { "alpha", 150 }, { "bravo", 10 }, { "charlie", 260 }, { "delta", 1 }, { "echo", 75 } };
    for (const auto& [name, lines] : files)
        s.file("in/" + name + ".xml", sourceText(name, lines));

    // Each file's pages, from a run that writes a PDF a file: the merged PDF must hold these, one after another.
    ConvertProgram::Outcome outcome = s.run({ "-o", "single", "--json", "single.json", "in" });
    ASSERT_EQ(outcome.code, 0) << outcome.errors;
    const Names single = reportLines(s.read("single.json"));
    ASSERT_EQ(single.size(), files.size());
    std::multiset<std::string> facesOfAll;
    for (const auto& [name, lines] : files) {
        for (const std::string& face :
            PdfReadBack(s.dir.path() / "single" / (name + ".pdf"), s.dir.path()).embeddedFaces())
            facesOfAll.insert(face);
    }

    outcome = s.run({ "-j", "4", "--merge=all.pdf", "--json=merged.json", "in" });
    ASSERT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "converted 5 of 5 files into \"all.pdf\"")) << outcome.errors;
    const fs::path pdf = s.dir.path() / "all.pdf";
    EXPECT_EQ(pdfComplaints(pdf, s.dir.path()), Names {});

    const Names merged = reportLines(s.read("merged.json"));
    ASSERT_EQ(merged.size(), files.size());
    const PdfReadBack back(pdf, s.dir.path());
    Names sources;
    std::vector<int> firstPages;
    std::vector<int> labelStarts;
    int page = 1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& line = merged[i];
        // The report keeps the order the files were found in, whatever -j is, and the PDF follows it.
        EXPECT_EQ(sourceIn(line), "in/" + files[i].first + ".xml") << line;
        EXPECT_TRUE(contains(line, "\"target\":\"all.pdf\",\"status\":\"converted\"")) << line;
        EXPECT_EQ(numberIn(line, "pages"), numberIn(single[i], "pages")) << line;
        EXPECT_EQ(numberIn(line, "first_page"), page) << line;
        EXPECT_EQ(numberIn(line, "bytes"), static_cast<int>(fs::file_size(pdf))) << line;
        EXPECT_TRUE(contains(back.pageText(page), files[i].first + " begins")) << "page " << page;
        sources.push_back(sourceIn(line));
        firstPages.push_back(page);
        labelStarts.push_back(page - 1);
        page += numberIn(single[i], "pages");
    }
    EXPECT_EQ(back.pageCount(), page - 1);
    EXPECT_EQ(back.bookmarkTitles(), sources);
    EXPECT_EQ(back.bookmarkPages(), firstPages);
    EXPECT_EQ(back.labelStarts(), labelStarts);

    // Every face the files use, each embedded once for them all.
    const std::multiset<std::string> faces = back.embeddedFaces();
    EXPECT_EQ(
        std::set<std::string>(faces.begin(), faces.end()), std::set<std::string>(facesOfAll.begin(), facesOfAll.end()));
    EXPECT_EQ(faces.size(), std::set<std::string>(faces.begin(), faces.end()).size());
    EXPECT_EQ(back.fontPrograms(), static_cast<int>(faces.size()));
    EXPECT_GE(faces.size(), 2u);
}

TEST(ConvertMerge, AFileThatFailsIsLeftOutAndNamedAndTheRestMerged)
{
    ConvertScene s;
    s.file("a.xml", sourceText("alpha", 100));
    s.file("b.xml", sourceText("bravo", 5));
    ASSERT_EQ(::mkfifo((s.dir.path() / "pipe.xml").c_str(), 0600), 0);

    // /proc/self/mem is a regular file whose first read fails with an I/O error.
    const ConvertProgram::Outcome outcome = s.run(
        { "--merge", "all.pdf", "--json", "r.json", "a.xml", "missing.xml", "pipe.xml", "/proc/self/mem", "b.xml" });
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"missing.xml\": file not found")) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"pipe.xml\": is not a regular file")) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"/proc/self/mem\": cannot read the file: Input/output error"))
        << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "converted 2 of 5 files into \"all.pdf\", 3 failed")) << outcome.errors;

    const fs::path pdf = s.dir.path() / "all.pdf";
    EXPECT_EQ(pdfComplaints(pdf, s.dir.path()), Names {});
    const Names report = reportLines(s.read("r.json"));
    ASSERT_EQ(report.size(), 5u);
    for (const std::size_t failed : { 1, 2, 3 }) {
        EXPECT_TRUE(contains(report[failed], "\"status\":\"failed\",\"pages\":null,\"first_page\":null"))
            << report[failed];
    }
    const int alphaPages = numberIn(report[0], "pages");
    EXPECT_GE(alphaPages, 2);
    EXPECT_EQ(numberIn(report[0], "first_page"), 1);
    EXPECT_EQ(numberIn(report[4], "first_page"), alphaPages + 1);
    const PdfReadBack back(pdf, s.dir.path());
    EXPECT_EQ(back.pageCount(), alphaPages + 1);
    EXPECT_EQ(back.bookmarkTitles(), (Names { "a.xml", "b.xml" }));
    EXPECT_EQ(back.bookmarkPages(), (std::vector<int> { 1, alphaPages + 1 }));
    EXPECT_TRUE(contains(back.pageText(alphaPages + 1), "bravo begins"));
}

TEST(ConvertMerge, SlipsOnTheCommandLineAreUsageErrorsThatTouchNothing)
{
    ConvertScene s;
    const std::string a = sourceText("alpha", 3);
    s.file("a.xml", a);
    s.file("old.pdf", kOld);
    ASSERT_EQ(::link((s.dir.path() / "a.xml").c_str(), (s.dir.path() / "hard.pdf").c_str()), 0);
    fs::create_directory(s.dir.path() / "folder.pdf");
    const Names before = s.namesIn(".");

    const std::vector<std::vector<std::string>> slips = {
        { "--merge=all.pdf", "-o", "out", "a.xml" }, // -o makes a PDF a file; --merge makes one for all
        { "--merge=all.pdf", "-" }, // standard output takes one PDF, of standard input
        { "--merge", "a.xml", "old.pdf" }, // the shell's *.xml put a source first
        { "--merge=old.pdf", "old.pdf", "a.xml" }, // a listed source
        { "--merge=hard.pdf", "a.xml" }, // a second name of a source
        { "--merge=folder.pdf", "a.xml" },
        { "--merge=all.pdf", "--json=all.pdf", "a.xml" }, // the report would take the merged PDF's place
        { "--merge=old.pdf", "--json=./old.pdf", "a.xml" },
        { "--merge=all.pdf", "--fold-base64=100", "a.xml" },
        { "--merge=all.pdf", "--font-size=30", "a.xml" },
    };
    for (const auto& arguments : slips) {
        const ConvertProgram::Outcome outcome = s.run(arguments);
        EXPECT_EQ(outcome.code, 2) << arguments[1] << ": " << outcome.errors;
        EXPECT_EQ(s.read("a.xml"), a);
        EXPECT_EQ(s.read("old.pdf"), kOld);
        Names now = s.namesIn(".");
        now.erase(
            std::remove_if(now.begin(), now.end(), [](const std::string& name) { return name.starts_with(".std"); }),
            now.end());
        EXPECT_EQ(now, before) << arguments[0] << " " << arguments[1];
    }

    // A folder search passes over the merged PDF of an earlier run, even with --all-files, and replaces it whole
    // (hard.pdf is a.xml again).
    const ConvertProgram::Outcome outcome = s.run({ "--all-files", "--merge=old.pdf", "--json=r.json", "." });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_TRUE(contains(s.read("r.json"),
        "{\"source\":\"./old.pdf\",\"status\":\"skipped\",\"reason\":\"the merged PDF of this run\"}"))
        << s.read("r.json");
    EXPECT_EQ(PdfReadBack(s.dir.path() / "old.pdf", s.dir.path()).bookmarkTitles(), (Names { "./a.xml" }));
}

TEST(ConvertMerge, AMergeThatFailsAsAWholeLeavesNoFileAndTheOldOneAsItWas)
{
    ConvertScene s;
    for (int i = 0; i < 20; ++i)
        s.file("in/f" + std::to_string(100 + i) + ".xml", sourceText("file " + std::to_string(i), 4000));
    s.file("all.pdf", kOld);
    const Names before = s.namesIn(".");
    auto nothingChanged = [&] {
        EXPECT_EQ(s.read("all.pdf"), kOld);
        Names now = s.namesIn(".");
        now.erase(
            std::remove_if(now.begin(), now.end(), [](const std::string& name) { return name.starts_with(".std"); }),
            now.end());
        EXPECT_EQ(now, before);
    };

    // A disk with 256 KB of room: the merged PDF does not fit; no file is counted as converted.
    ConvertSetup full;
    full.fileSize = 256 * 1024;
    ConvertProgram::Outcome outcome = s.program.run({ "--merge=all.pdf", "in" }, full);
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    EXPECT_TRUE(
        contains(outcome.errors, "cannot write the merged PDF \"all.pdf\": cannot write the PDF: File too large"))
        << outcome.errors;
    EXPECT_FALSE(contains(outcome.errors, "cannot convert")) << "no file is at fault: " << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "converted 0 of 20 files")) << outcome.errors;
    nothingChanged();

    // No file that could be merged: there is nothing to write.
    outcome = s.run({ "--merge=all.pdf", "missing.xml" });
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    nothingChanged();

    // Stopped while the files are read, one at a time: the signal lands once the third file is open, or a later
    // one, since the merge cannot end before the test sees it: the last file is endless.
    writeEndlessSource(s.dir.path() / "in" / "f199.xml", sourceText("endless", 10));
    for (const auto& [signal, code] : { std::pair { SIGINT, 130 }, std::pair { SIGTERM, 143 } }) {
        const pid_t pid = s.program.start({ "--merge=all.pdf", "in" });
        const fs::path descriptors = "/proc/" + std::to_string(pid) + "/fd";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (bool reading = false; !reading;) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the third file was never opened";
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(descriptors, error)) {
                const std::string name = fs::read_symlink(entry.path(), error).filename().string();
                reading = reading || (name.starts_with("f1") && name >= "f102.xml");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::kill(pid, signal);
        outcome = s.program.finish(pid);
        EXPECT_EQ(outcome.code, code) << outcome.errors;
        nothingChanged();
    }
}
