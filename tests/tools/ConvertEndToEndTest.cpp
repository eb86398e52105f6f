// Runs the real papyrant-convert on real files and reads the PDFs back with pdftotext.
#include "tests/support/ConvertProgram.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

using Args = std::vector<std::string>;
using Names = std::vector<std::string>;

struct Outcome
{
    int code = -1; // the exit code; 128 + N when killed by signal N
    std::string errors;
    std::string output;
};

fs::path binDir()
{
    const char* dir = std::getenv("PAPYRANT_BIN_DIR");
    return dir && *dir ? fs::path(dir) : fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Names namesIn(const fs::path& folder)
{
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The PDFs in a folder, sorted; nothing while the folder is not there.
Names pdfsIn(const fs::path& folder)
{
    Names names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".pdf")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// How a child is started: with how much room for its files.
struct ChildSetup
{
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

class ConvertEndToEnd : public ::testing::Test
{
protected:
    fs::path root() const
    {
        return m_root ? *m_root : m_dir.path();
    }
    fs::path file(const fs::path& relative, const std::string& bytes)
    {
        const fs::path path = root() / relative;
        fs::create_directories(path.parent_path());
        writeFile(path, bytes);
        return path;
    }

    // Starts papyrant-convert in the test's folder (never through a shell), its output going to files.
    pid_t start(const Args& arguments, const ChildSetup& setup = {})
    {
        std::vector<std::string> argv { (binDir() / "papyrant-convert").string() };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& argument : argv)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        const std::string out = (root() / ".stdout").string();
        const std::string err = (root() / ".stderr").string();
        const std::string home = (root() / ".home").string();
        fs::create_directories(home);
        fs::permissions(home, fs::perms::all);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0 || ::chdir(root().c_str()) != 0)
                ::_exit(120);
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CACHE_HOME", home.c_str(), 1);
            if (setup.fileSizeLimit != RLIM_INFINITY) {
                ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing the program
                const rlimit limit { setup.fileSizeLimit, setup.fileSizeLimit };
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ::execv(pointers[0], pointers.data());
            ::_exit(122);
        }
        return pid;
    }

    // Waits for the child, killing it when it outlives the limit (a hang fails the test, it does not stall it).
    Outcome finish(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(120))
    {
        Outcome outcome;
        const test::ProgramEnd end = test::finishProgramWithin(pid, limit);
        if (!end.inTime)
            ADD_FAILURE() << "papyrant-convert did not end in time";
        outcome.code = end.code;
        outcome.errors = readFile(root() / ".stderr");
        outcome.output = readFile(root() / ".stdout");
        return outcome;
    }

    Outcome convert(const Args& arguments, const ChildSetup& setup = {})
    {
        return finish(start(arguments, setup));
    }

    std::string pdfText(const fs::path& pdf)
    {
        const fs::path text = root() / ".text";
        fs::remove(text);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::execlp("pdftotext", "pdftotext", "-enc", "UTF-8", pdf.c_str(), text.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? readFile(text) : "(pdftotext failed)";
    }

    test::TempDir m_dir;
    std::optional<fs::path> m_root; // the scene's own folder, in a child running as another user
};

const std::string kMarkerA = "Lorem from folder a";
const std::string kMarkerB = "Ipsum from folder b";

TEST_F(ConvertEndToEnd, FoldersAreSearchedByTheWindowsRulesAndRepeatedNamesNumberedInTheOrderFound)
{
    file("in/c.xml", "<c>see</c>");
    file("in/a/x.xml", "<x>" + kMarkerA + "</x>");
    file("in/b/x.xml", "<x>" + kMarkerB + "</x>");
    file("in/.hidden.xml", "<h/>");
    file("in/~copy.xml", "<t/>");
    file("in/notes.txt", "not XML by name");
    fs::create_directory_symlink("..", root() / "in/a/loop");

    // The folder, then one of its files again by another name: that file is converted once.
    Outcome outcome = convert({ "-j", "2", "-o", "out", "in", "./in/c.xml" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(namesIn(root() / "out"), (Names { "c.pdf", "x (2).pdf", "x.pdf" }));
    EXPECT_TRUE(contains(pdfText(root() / "out/x.pdf"), kMarkerA));
    EXPECT_TRUE(contains(pdfText(root() / "out/x (2).pdf"), kMarkerB));
    EXPECT_TRUE(contains(outcome.errors, "skipped \"in/.hidden.xml\": a hidden file")) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "skipped \"in/~copy.xml\"")) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "skipped \"in/a/loop\": a link to a folder searched already"))
        << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "converted 3 of 3 files")) << outcome.errors;

    // --all-files takes the text file too; the PDFs of the first run are replaced whole.
    outcome = convert({ "--all-files", "-o", "out", "in" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(namesIn(root() / "out"), (Names { "c.pdf", "notes.pdf", "x (2).pdf", "x.pdf" }));
    EXPECT_TRUE(contains(pdfText(root() / "out/notes.pdf"), "not XML by name"));
}

TEST_F(ConvertEndToEnd, BesideTheSourcesNoListedSourceIsWrittenOverAndOldPdfsAreNoInputs)
{
    file("dir/r.xml", "<r>report text</r>");
    file("dir/r.pdf", "an old PDF");
    file("dir/q.txt", "quarterly");
    Outcome outcome = convert({ "--all-files", "dir" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(namesIn(root() / "dir"), (Names { "q.pdf", "q.txt", "r.pdf", "r.xml" }));
    EXPECT_TRUE(contains(pdfText(root() / "dir/r.pdf"), "report text"));
    EXPECT_TRUE(contains(outcome.errors, "skipped \"dir/r.pdf\": a PDF in a folder that receives the PDFs"))
        << outcome.errors;

    // Named, the PDF is a source: neither it nor r.xml may write over it.
    writeFile(root() / "dir/r.pdf", "an old PDF");
    outcome = convert({ "dir/r.xml", "dir/r.pdf" });
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(readFile(root() / "dir/r.pdf"), "an old PDF");
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"dir/r.xml\": its PDF would write over a listed source"))
        << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"dir/r.pdf\": its PDF would write over a listed source"))
        << outcome.errors;

    // A bare name's PDF goes in the current folder.
    file("bare.xml", "<b/>");
    EXPECT_EQ(convert({ "bare.xml" }).code, 0);
    EXPECT_TRUE(fs::exists(root() / "bare.pdf"));
}

TEST_F(ConvertEndToEnd, ExitCodesAndTheJsonReportNameEveryFile)
{
    file("good.xml", "<g>fine</g>");
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>(i * 37 % 256));
    file("binary.xml", binary);
    ASSERT_EQ(::mkfifo((root() / "pipe.xml").c_str(), 0600), 0);

    Outcome outcome = convert({ "--json", "report.json", "missing.xml", "pipe.xml", "good.xml", "binary.xml" });
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"missing.xml\": file not found")) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"pipe.xml\": is not a regular file")) << outcome.errors;
    EXPECT_TRUE(fs::exists(root() / "good.pdf"));
    EXPECT_TRUE(fs::exists(root() / "binary.pdf"));
    const std::string report = readFile(root() / "report.json");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
    EXPECT_TRUE(contains(
        report, "{\"source\":\"missing.xml\",\"target\":\"\",\"status\":\"failed\",\"pages\":null,\"bytes\":null,"))
        << report;
    EXPECT_TRUE(contains(report, "\"error\":\"file not found\"}\n")) << report;
    EXPECT_TRUE(contains(report,
        "{\"source\":\"good.xml\",\"target\":\"./good.pdf\",\"status\":\"converted\","
        "\"pages\":1,\"bytes\":"
            + std::to_string(fs::file_size(root() / "good.pdf"))))
        << report;

    // --no-clobber keeps what is there, and says so.
    writeFile(root() / "good.pdf", "keep me");
    outcome = convert({ "--no-clobber", "good.xml" });
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(readFile(root() / "good.pdf"), "keep me");
    EXPECT_TRUE(contains(outcome.errors, "\"./good.pdf\" exists; kept")) << outcome.errors;

    // Nothing to convert is success, and it is said.
    fs::create_directory(root() / "empty");
    outcome = convert({ "empty" });
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(contains(outcome.errors, "nothing to convert")) << outcome.errors;

    EXPECT_EQ(convert({ "-j", "0", "good.xml" }).code, 2);
    EXPECT_EQ(convert({ "--frobnicate", "good.xml" }).code, 2);
    EXPECT_EQ(convert({}).code, 2);
    outcome = convert({ "--help" });
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(contains(outcome.output, "Usage: papyrant-convert")) << outcome.output;
}

TEST_F(ConvertEndToEnd, SigintAndSigtermStopTheBatchWithoutAPartialPdf)
{
    std::string big;
    for (int line = 0; big.size() < 400000; ++line)
        big += "<record n=\"" + std::to_string(line) + "\">a line of a long file, which takes a while</record>\n";
    for (int i = 0; i < 40; ++i)
        file("in/f" + std::to_string(100 + i) + ".xml", big);
    // However long the test takes to see the first PDF, the batch is still running then.
    test::writeEndlessSource(root() / "in" / "f120b.xml", big);

    for (const auto& [signal, code] : { std::pair { SIGINT, 130 }, std::pair { SIGTERM, 143 } }) {
        fs::remove_all(root() / "out");
        const pid_t pid = start({ "-j", "2", "-o", "out", "in" });
        // A PDF appears in the folder only once it is whole. At the first one the batch is stopped where it is,
        // the folder listed, the signal sent and the batch let go: the signal lands at a known point.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (pdfsIn(root() / "out").empty()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no PDF appeared";
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_EQ(::kill(pid, SIGSTOP), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, WUNTRACED), pid);
        ASSERT_TRUE(WIFSTOPPED(status));
        const Names listed = pdfsIn(root() / "out");
        ::kill(pid, signal);
        ::kill(pid, SIGCONT);
        const Outcome outcome = finish(pid, std::chrono::seconds(60));
        EXPECT_EQ(outcome.code, code) << outcome.errors;
        // What was there stays; each of the -j workers may finish the file it had in hand, nothing more.
        const Names written = namesIn(root() / "out");
        EXPECT_TRUE(std::includes(written.begin(), written.end(), listed.begin(), listed.end()));
        EXPECT_LE(written.size(), listed.size() + 2) << "the batch went on after the signal";
        for (const std::string& name : written) {
            EXPECT_TRUE(name.starts_with("f1") && name.ends_with(".pdf")) << name;
            const std::string pdf = readFile(root() / "out" / name);
            EXPECT_TRUE(pdf.starts_with("%PDF-") && contains(pdf.substr(pdf.size() - 8), "%%EOF")) << name;
        }
    }
}

TEST_F(ConvertEndToEnd, NamesWithNewlinesQuotesAndInvalidUtf8KeepTheirBytes)
{
    const std::string newline = "two\nlines";
    const std::string latin1 = "caf\xE9";
    const std::string quotes = "it's \"q\"";
    for (const std::string& name : { newline, latin1, quotes })
        file("in/" + name + ".xml", "<n>" + std::to_string(name.size()) + "</n>");
    const Outcome outcome = convert(
        { "-o", "out", "--json", "-", "in/" + newline + ".xml", "in/" + latin1 + ".xml", "in/" + quotes + ".xml" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(namesIn(root() / "out"), (Names { latin1 + ".pdf", quotes + ".pdf", newline + ".pdf" }));
    EXPECT_TRUE(contains(outcome.output, "{\"source\":\"in/two\\nlines.xml\",\"target\":\"out/two\\nlines.pdf\""))
        << outcome.output;
    EXPECT_TRUE(contains(outcome.output,
        "{\"source\":\"in/caf\\\\xE9.xml\",\"source_escaped\":true,\"target\":\"out/caf\\\\xE9.pdf\","
        "\"target_escaped\":true,"))
        << outcome.output;
    EXPECT_TRUE(contains(outcome.output, "{\"source\":\"in/it's \\\"q\\\".xml\"")) << outcome.output;
}

// A big file, whose PDF is well over 64 KB.
std::string bigXml()
{
    std::string big;
    for (int line = 0; line < 20000; ++line)
        big += "<record n=\"" + std::to_string(line * 7919) + "\">" + std::to_string(line) + "</record>\n";
    return big;
}

TEST_F(ConvertEndToEnd, UnreadableFilesAndUnwritableFoldersFailOnlyTheirFiles)
{
    // Permissions bind an ordinary user only: the scene runs as one, in a folder of its own.
    EXPECT_TRUE(test::runAsOrdinaryUser([this] {
        const test::TempDir scene;
        m_root = scene.path();
        file("in/ok.xml", "<ok>readable</ok>");
        file("in/secret.xml", "<s/>");
        file("in/locked/inner.xml", "<i/>");
        file("in/big.xml", bigXml());
        fs::permissions(root() / "in/secret.xml", fs::perms::none);
        fs::permissions(root() / "in/locked", fs::perms::none);
        fs::create_directories(root() / "readonly");
        fs::permissions(root() / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
        fs::create_directories(root() / "out");

        Outcome outcome = convert({ "-o", "out", "in/secret.xml", "in/locked", "in/ok.xml" });
        EXPECT_EQ(outcome.code, 1) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "cannot convert \"in/secret.xml\": Permission denied")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "cannot convert \"in/locked\": cannot read the folder")) << outcome.errors;
        EXPECT_EQ(namesIn(root() / "out"), (Names { "ok.pdf" }));

        // Inside a search, the locked folder is named and left out, the unreadable file fails, the rest converts.
        fs::remove(root() / "out/ok.pdf");
        outcome = convert({ "-o", "out", "in" });
        EXPECT_EQ(outcome.code, 1) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "skipped \"in/locked/\": a folder that cannot be read")) << outcome.errors;
        EXPECT_TRUE(contains(outcome.errors, "cannot convert \"in/secret.xml\": Permission denied")) << outcome.errors;
        EXPECT_EQ(namesIn(root() / "out"), (Names { "big.pdf", "ok.pdf" }));

        outcome = convert({ "-o", "readonly", "in/ok.xml" });
        EXPECT_EQ(outcome.code, 1);
        EXPECT_TRUE(
            contains(outcome.errors, "cannot convert \"in/ok.xml\": cannot write in the output folder: Permission"))
            << outcome.errors;
        EXPECT_TRUE(namesIn(root() / "readonly").empty());
        fs::permissions(root() / "in", fs::perms::owner_all, fs::perm_options::add);
        fs::permissions(root() / "in/locked", fs::perms::owner_all);
        fs::permissions(root() / "readonly", fs::perms::owner_all);
        m_root.reset();
    }));
}

TEST_F(ConvertEndToEnd, FullDiskFailsTheFileThatDoesNotFitAndLeavesNothingOfIt)
{
    // A disk with 64 KB of room: the big file's PDF does not fit and leaves nothing; the small one is written.
    file("in/ok.xml", "<ok>fits</ok>");
    file("in/big.xml", bigXml());
    const Outcome outcome = convert({ "-j", "1", "-o", "full", "in/big.xml", "in/ok.xml" }, { 65536 });
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "cannot convert \"in/big.xml\": cannot write the PDF")) << outcome.errors;
    EXPECT_EQ(namesIn(root() / "full"), (Names { "ok.pdf" }));
    EXPECT_TRUE(contains(pdfText(root() / "full/ok.pdf"), "fits"));
}

} // namespace

// Characters that once aborted the whole batch (regional indicators, U+FFFF after a line's first character) or
// took a minute (a run of 100,000 joiners) convert like any other file, alongside the others, and the report
// names every file.
TEST_F(ConvertEndToEnd, FlagsNoncharactersAndLongClustersConvertInABatch)
{
    file("flag.xml", "<c>\U0001F1FA\U0001F1F8\U0001F1EF\U0001F1F5</c>\n");
    file("nonchar.xml", "a\uFFFFb\n");
    std::string joiners = "<j>a";
    for (int i = 0; i < 100000; ++i)
        joiners += "\u200D";
    file("joiners.xml", joiners + "b</j>\n");
    file("good.xml", "<g>fine</g>\n");

    const Outcome outcome
        = convert({ "-j", "2", "--json", "report.json", "flag.xml", "nonchar.xml", "joiners.xml", "good.xml" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    const std::string report = readFile(root() / "report.json");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
    for (const char* name : { "flag", "nonchar", "joiners", "good" }) {
        EXPECT_TRUE(contains(report,
            std::string("{\"source\":\"") + name + ".xml\",\"target\":\"./" + name + ".pdf\",\"status\":\"converted\""))
            << report;
    }
    EXPECT_TRUE(contains(pdfText(root() / "flag.pdf"), "\U0001F1FA\U0001F1F8\U0001F1EF\U0001F1F5"));
    EXPECT_TRUE(contains(pdfText(root() / "nonchar.pdf"), "a<U+FFFF>b"));
    EXPECT_TRUE(contains(pdfText(root() / "joiners.pdf"), "<j>a"));
    EXPECT_TRUE(contains(pdfText(root() / "good.pdf"), "<g>fine</g>"));
}
