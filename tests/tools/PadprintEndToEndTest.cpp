#include "platform/Registry.h"
#include "platform/posix/SqliteRegistry.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/TempDir.h"
#include "print/ByteSource.h"
#include "tools/padprint/PrintDestination.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"
#include "print/Utf8.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

// The programs' folder: PAPYRANT_BIN_DIR, else bin/ beside this test's own folder in the build tree.
fs::path binDir()
{
    const char* dir = std::getenv("PAPYRANT_BIN_DIR");
    if (dir && *dir)
        return dir;
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
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

// Starts a program (never through a shell) with its output going to `output`; returns its process id.
pid_t start(const std::vector<std::string>& arguments, const fs::path& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int finish(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a program to its end; its output (stdout and stderr) goes to `output`.
int run(const std::vector<std::string>& arguments, std::string& output, const fs::path& scratch)
{
    const fs::path log = scratch / "run.log";
    const pid_t pid = start(arguments, log);
    if (pid < 0)
        return -1;
    const int code = finish(pid);
    output = readFile(log);
    return code;
}

// The text padprint prints for a file: decoded and made printable, with all white space taken out, since
// wrapping and pdftotext's layout move it.
std::u32string printedCharacters(const std::string& bytes)
{
    MemoryByteSource source(bytes);
    TextDecoder decoder(source);
    std::string text;
    PrintableLines lines([&text](std::string_view line) { text.append(line); });
    std::string piece;
    while (decoder.next(piece)) {
        lines.add(piece);
        piece.clear();
    }
    lines.finish();
    std::u32string result;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const int length = utf8::sequenceLength(p + i, text.size() - i);
        const char32_t cp = utf8::decode(p + i, length);
        i += static_cast<std::size_t>(length);
        if (cp != U' ' && cp != 0xA0)
            result.push_back(cp);
    }
    return result;
}

// The text pdftotext finds in a PDF, in the content's order, without white space and without the direction
// marks pdftotext wraps around right-to-left letters.
std::u32string copiedCharacters(const std::string& text)
{
    std::u32string result;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const int length = utf8::sequenceLength(p + i, text.size() - i);
        if (length <= 0) {
            result.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        const char32_t cp = utf8::decode(p + i, length);
        i += static_cast<std::size_t>(length);
        const bool blank = cp == U' ' || cp == U'\n' || cp == U'\r' || cp == U'\f' || cp == U'\t' || cp == 0xA0;
        if (!blank && !(cp >= 0x202A && cp <= 0x202E))
            result.push_back(cp);
    }
    return result;
}

std::string toUtf8(const std::u32string& text)
{
    std::string result;
    for (char32_t cp : text)
        utf8::append(result, cp);
    return result;
}

// A user of their own (a fresh XDG_CONFIG_HOME) with the PDF printer installed and made the default.
class PadprintEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_out);
        SqliteRegistry setup(SqliteRegistry::defaultDatabasePath());
        ASSERT_EQ(setup.addPrinter(kPdfPrinterName), PrinterChange::Done) << setup.errorText();
        ASSERT_TRUE(setup.setDefaultPrinter(kPdfPrinterName)) << setup.errorText();
        m_registry = openUserRegistry();
    }
    void setTarget(const fs::path& target)
    {
        ASSERT_TRUE(m_registry->writeStrings(
            RegistryHive::CurrentUser, kPdfPrinterKey, { { "OutputFile", target.string() }, { "BypassSaveAs", "1" } }));
    }
    int padprint(const fs::path& source, std::string& output)
    {
        return run({ (binDir() / "padprint").string(), "/p", source.string() }, output, m_dir.path());
    }
    std::string pdfToText(const fs::path& pdf)
    {
        std::string text;
        const fs::path txt = m_dir.path() / "text.txt";
        run({ "pdftotext", "-raw", "-enc", "UTF-8", pdf.string(), txt.string() }, text, m_dir.path());
        return readFile(txt);
    }
    // One field of pdfinfo's report ("Pages", "Title"), without the padding.
    std::string pdfInfo(const fs::path& pdf, const std::string& field)
    {
        std::string info;
        run({ "pdfinfo", pdf.string() }, info, m_dir.path());
        const std::size_t at = info.find("\n" + field + ":");
        if (at == std::string::npos && info.rfind(field + ":", 0) != 0)
            return "(no " + field + ")";
        std::size_t begin = info.find(':', at == std::string::npos ? 0 : at) + 1;
        begin = info.find_first_not_of(' ', begin);
        return info.substr(begin, info.find('\n', begin) - begin);
    }

    test::FreshConfigHome m_config;
    test::TempDir m_dir;
    fs::path m_out = m_dir.path() / "out";
    std::unique_ptr<Registry> m_registry;
};

std::string utf16le(const std::u32string& text)
{
    std::string bytes = "\xFF\xFE";
    auto unit = [&bytes](char32_t u) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    };
    for (char32_t cp : text) {
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return bytes;
}

} // namespace

TEST_F(PadprintEndToEnd, EveryPrintedCharacterCopiesBackInOrder)
{
    const std::u32string mixed = U"<?xml version=\"1.0\"?>\n<doc>\n"
                                 U" <latin>Ça déjà vu, naïve façade, Ærø, Ångström, ÿ</latin>\n"
                                 U" <greek>Καλημέρα κόσμε, ἀρχή</greek>\n"
                                 U" <cyrillic>Съешь же ещё этих мягких французских булок</cyrillic>\n"
                                 U" <cjk>中文字符测试，日本語のテキスト</cjk>\n"
                                 U" <hebrew>שלום עולם</hebrew> <arabic>مرحبا بالعالم</arabic>\n"
                                 U" <emoji>smile 😀 ok</emoji>\n</doc>\n";
    std::string binary;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i)
        binary.push_back(static_cast<char>(random() & 0xFF));
    std::string longLine;
    for (int i = 0; i < 5000; ++i)
        longLine.push_back(static_cast<char>('a' + i % 26));

    const std::vector<std::pair<std::string, std::string>> corpus = {
        { "utf8.xml", toUtf8(mixed) },
        { "utf16.xml", utf16le(mixed) },
        { "latin1.xml",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>Gr\xF6\xDF"
            "e caf\xE9 \xB1\xA7\xB6 \xBD</a>\n" },
        { "tabs.txt", "a\tb\tc\n\tindented\t\tx\n12345678\ty\n" },
        { "long line.txt", longLine + "\n" },
        { "binary.bin", binary },
        { "controls.txt", "bell\x07 escape\x1B del\x7F nul" + std::string(1, '\0') + " end\r\n" },
    };
    for (const auto& [name, bytes] : corpus) {
        const fs::path source = m_dir.path() / name;
        const fs::path pdf = m_out / (name + ".pdf");
        writeFile(source, bytes);
        setTarget(pdf);
        std::string output;
        ASSERT_EQ(padprint(source, output), 0) << name << ": " << output;
        const std::u32string expected = printedCharacters(bytes);
        const std::u32string copied = copiedCharacters(pdfToText(pdf));
        EXPECT_EQ(toUtf8(copied), toUtf8(expected)) << name;
        EXPECT_EQ(pdfInfo(pdf, "Title"), name);
    }
    EXPECT_EQ(printedCharacters(corpus[0].second), printedCharacters(corpus[1].second));
}

TEST_F(PadprintEndToEnd, EmptyFilePrintsOneBlankPage)
{
    const fs::path source = m_dir.path() / "empty.xml";
    writeFile(source, "");
    setTarget(m_out / "empty.pdf");
    std::string output;
    ASSERT_EQ(padprint(source, output), 0) << output;
    EXPECT_EQ(pdfInfo(m_out / "empty.pdf", "Pages"), "1");
    EXPECT_TRUE(copiedCharacters(pdfToText(m_out / "empty.pdf")).empty());
}

TEST_F(PadprintEndToEnd, KilledJobLeavesNoPartialFileAndTheOldPdfIntact)
{
    const fs::path source = m_dir.path() / "large.xml";
    {
        std::ofstream out(source, std::ios::binary);
        for (int i = 0; i < 300000; ++i)
            out << "  <record id=\"" << i << "\"><name>entry number " << i << "</name></record>\n";
    }
    for (const bool oldPdf : { false, true }) {
        const fs::path target = m_out / "large.pdf";
        fs::remove(target);
        if (oldPdf)
            writeFile(target, "the old PDF");
        setTarget(target);
        const pid_t pid = start({ (binDir() / "padprint").string(), "/p", source.string() }, m_dir.path() / "log");
        ASSERT_GT(pid, 0);
        // Wait until the job has its file open in the output folder and has written part of it.
        bool writing = false;
        for (int i = 0; i < 500 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::error_code error;
            for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
                const fs::path open = fs::read_symlink(fd.path(), error);
                struct stat info
                {
                };
                if (open.string().rfind(m_out.string(), 0) == 0 && ::stat(fd.path().c_str(), &info) == 0
                    && info.st_size > 0)
                    writing = true;
            }
        }
        ASSERT_TRUE(writing) << "the job did not start writing";
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_out))
            names.push_back(entry.path().filename().string());
        if (oldPdf) {
            EXPECT_EQ(names, std::vector<std::string> { "large.pdf" });
            EXPECT_EQ(readFile(target), "the old PDF");
        } else {
            EXPECT_TRUE(names.empty()) << names.front();
        }
    }
}
