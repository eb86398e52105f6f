#include "platform/PdfPrinterProtocol.h"
#include "platform/Registry.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/PdfChecks.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"
#include "text/Utf8.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

int run(const std::vector<std::string>& arguments, std::string& output, const fs::path& scratch)
{
    return runProgram(arguments, output, scratch);
}

std::u32string toUtf32(std::string_view text)
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
        result.push_back(utf8::decode(p + i, length));
        i += static_cast<std::size_t>(length);
    }
    return result;
}

bool isBlank(char32_t cp)
{
    return cp == U' ' || cp == U'\n' || cp == U'\r' || cp == U'\f' || cp == U'\t' || cp == 0xA0;
}

// The characters of a text without its white space, which wrapping and pdftotext's layout move.
std::u32string visible(const std::u32string& text)
{
    std::u32string result;
    for (char32_t cp : text) {
        if (!isBlank(cp))
            result.push_back(cp);
    }
    return result;
}

// The text pdftotext finds in a PDF, in the content's order, without white space and without the direction
// marks pdftotext wraps around right-to-left letters.
std::u32string copiedCharacters(const std::string& text)
{
    std::u32string result;
    for (char32_t cp : visible(toUtf32(text))) {
        if (!(cp >= 0x202A && cp <= 0x202E))
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

// What a print-out of bytes that are not UTF-8 must show, worked out here from the rules a user sees, not
// with the printer's decoder: Windows-1252, with the C0 controls and DEL in caret notation and the C1 controls
// and the soft hyphen as <U+XXXX> (the five bytes Windows-1252 leaves open are C1 controls).
std::u32string expectedFromWindows1252(const std::string& bytes)
{
    static const char32_t k80To9F[32] = { 0x20AC, 0x81, 0x201A, 0x192, 0x201E, 0x2026, 0x2020, 0x2021, 0x2C6, 0x2030,
        0x160, 0x2039, 0x152, 0x8D, 0x17D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x2DC,
        0x2122, 0x161, 0x203A, 0x153, 0x9D, 0x17E, 0x178 };
    std::u32string text;
    for (unsigned char byte : bytes) {
        char32_t cp = byte >= 0x80 && byte <= 0x9F ? k80To9F[byte - 0x80] : byte;
        if (cp == U'\t' || cp == U'\n' || cp == U'\r') {
            text.push_back(U' ');
        } else if (cp < 0x20 || cp == 0x7F) {
            text.push_back(U'^');
            text.push_back(cp == 0x7F ? U'?' : char32_t(cp + 0x40));
        } else if ((cp >= 0x80 && cp <= 0x9F) || cp == 0xAD) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "<U+%04X>", static_cast<unsigned>(cp));
            for (const char* c = hex; *c; ++c)
                text.push_back(static_cast<unsigned char>(*c));
        } else {
            text.push_back(cp);
        }
    }
    return visible(text);
}

// A fontconfig set-up that knows only the faces the project installs, so that a test sees what a fresh
// machine shows, whatever else this one has.
std::string projectFontsConfig(const fs::path& cache)
{
    std::string config = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
    for (const char* dir : { "/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/wqy",
             "/usr/share/fonts/opentype/ipafont-gothic", "/usr/share/fonts/truetype/naver-d2coding",
             "/usr/share/fonts/truetype/arphic-bsmi00lp", "/usr/share/fonts/truetype/lohit-devanagari",
             "/usr/share/fonts/truetype/lohit-bengali", "/usr/share/fonts/truetype/lohit-punjabi",
             "/usr/share/fonts/truetype/lohit-gujarati", "/usr/share/fonts/truetype/lohit-oriya",
             "/usr/share/fonts/truetype/lohit-tamil", "/usr/share/fonts/truetype/lohit-telugu",
             "/usr/share/fonts/truetype/lohit-kannada", "/usr/share/fonts/truetype/lohit-malayalam",
             "/usr/share/fonts/truetype/tlwg", "/usr/share/fonts/truetype/ancient-scripts" })
        config += std::string("  <dir>") + dir + "</dir>\n";
    config += "  <cachedir>" + cache.string() + "</cachedir>\n</fontconfig>\n";
    return config;
}

// A user of their own (a fresh XDG_CONFIG_HOME) with the PDF printer installed and made the default.
class PadprintEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_out);
        writeFile(m_dir.path() / "fonts.conf", projectFontsConfig(m_dir.path() / "font-cache"));
        ::setenv("FONTCONFIG_FILE", (m_dir.path() / "fonts.conf").c_str(), 1);
        SqlitePrinterTable setup(SqliteConnection::defaultDatabasePath());
        const auto added = setup.addPrinter(kPdfPrinterName);
        ASSERT_EQ(added, PrinterChange::Done) << added.reason();
        const auto madeDefault = setup.setDefaultPrinter(kPdfPrinterName);
        ASSERT_TRUE(madeDefault) << madeDefault.reason();
        m_registry = openUserRegistry();
    }
    void TearDown() override
    {
        ::unsetenv("FONTCONFIG_FILE");
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
    // Every script the print-outs have faces for, emoji, characters one glyph draws for several (micro sign
    // and mu, ohm sign and omega, kelvin sign and K), clusters drawn with several glyphs (Devanagari vowel
    // signs), and characters no installed face draws (Tangut), which must copy back as themselves.
    const std::u32string mixed = U"<?xml version=\"1.0\"?>\n<doc>\n"
                                 U" <latin>Ça déjà vu, naïve façade, Ærø, Ångström, ÿ</latin>\n"
                                 U" <greek>Καλημέρα κόσμε, ἀρχή</greek>\n"
                                 U" <cyrillic>Съешь же ещё этих мягких французских булок</cyrillic>\n"
                                 U" <cjk>中文字符测试，日本語のテキスト，臺灣，𩸽</cjk>\n"
                                 U" <korean>서울 안녕하세요</korean>\n"
                                 U" <hebrew>שלום עולם</hebrew> <arabic>مرحبا بالعالم</arabic>\n"
                                 U" <indic>नमस्ते किताब দুনিয়া வணக்கம் ਪੰਜਾਬੀ ગુજરાતી ಕನ್ನಡ తెలుగు മലയാളം ଓଡ଼ିଆ</indic>\n"
                                 U" <thai>สวัสดีชาวโลก</thai>\n"
                                 U" <emoji>smile 😀 👍 ❤ 🎉 ok</emoji>\n"
                                 U" <shared>\u00B5\u03BC \u2126\u03A9 \u212AK</shared>\n"
                                 U" <tangut>𗀀𗀁</tangut>\n</doc>\n";
    std::string binary;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i)
        binary.push_back(static_cast<char>(random() & 0xFF));
    std::string longLine;
    for (int i = 0; i < 5000; ++i)
        longLine.push_back(static_cast<char>('a' + i % 26));

    struct Case
    {
        std::string name;
        std::string bytes;
        std::u32string expected;
    };
    const std::vector<Case> corpus = {
        { "utf8.xml", toUtf8(mixed), visible(mixed) },
        { "utf16.xml", utf16le(mixed), visible(mixed) },
        { "latin1.xml",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>Gr\xF6\xDF"
            "e caf\xE9 \xB1\xA7\xB6 \xBD</a>\n",
            U"<?xmlversion=\"1.0\"encoding=\"ISO-8859-1\"?><a>Größecafé±§¶½</a>" },
        { "tabs.txt", "a\tb\tc\n\tindented\t\tx\n12345678\ty\n", U"abcindentedx12345678y" },
        { "long line.txt", longLine + "\n", visible(toUtf32(longLine)) },
        { "binary.bin", binary, expectedFromWindows1252(binary) },
        { "controls.txt", "bell\x07 escape\x1B del\x7F nul" + std::string(1, '\0') + " end\r\n",
            U"bell^Gescape^[del^?nul^@end" },
    };
    for (const Case& test : corpus) {
        const fs::path source = m_dir.path() / test.name;
        const fs::path pdf = m_out / (test.name + ".pdf");
        writeFile(source, test.bytes);
        setTarget(pdf);
        std::string output;
        ASSERT_EQ(padprint(source, output), 0) << test.name << ": " << output;
        EXPECT_EQ(toUtf8(copiedCharacters(pdfToText(pdf))), toUtf8(test.expected)) << test.name;
        EXPECT_EQ(pdfInfo(pdf, "Title"), test.name);
        for (const std::string& complaint : pdfComplaints(pdf, m_dir.path()))
            ADD_FAILURE() << test.name << ": " << complaint;
    }
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
        for (int i = 0; i < 20000; ++i)
            out << "  <record id=\"" << i << "\"><name>entry number " << i << "</name></record>\n";
    }
    // The whole PDF is well over the room the killed jobs get (and the user's caches are now warm, so the jobs'
    // only large writes are their PDFs').
    constexpr rlim_t kRoom = 64 * 1024;
    const fs::path whole = m_out / "whole.pdf";
    setTarget(whole);
    std::string output;
    ASSERT_EQ(padprint(source, output), 0) << output;
    ASSERT_GT(fs::file_size(whole), 2 * kRoom);
    fs::remove(whole);

    for (const bool oldPdf : { false, true }) {
        const fs::path target = m_out / "large.pdf";
        fs::remove(target);
        if (oldPdf)
            writeFile(target, "the old PDF");
        setTarget(target);
        // The system kills the job at the write that passes the file size limit: in the middle of its PDF.
        const std::string program = (binDir() / "padprint").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const rlimit room { kRoom, kRoom };
            const rlimit noCore { 0, 0 };
            ::setrlimit(RLIMIT_FSIZE, &room);
            ::setrlimit(RLIMIT_CORE, &noCore);
            ::signal(SIGXFSZ, SIG_DFL);
            ::execl(program.c_str(), program.c_str(), "/p", source.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the job was not killed mid-write";

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
