#include "platform/PdfPrinterProtocol.h"
#include "platform/Registry.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/LegacyPages.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// One file and what its print-out must say: the text written here (not taken from the decoder), and the
// encoding the report must name with what chose it.
struct Case
{
    std::string name;
    std::string bytes;
    std::string expected; // UTF-8
    std::string encoding;
    std::string from;
};

// A file that declares `label` and holds `body`, whose reading is `text`.
Case declared(const std::string& label, const std::string& body, const std::string& text, const std::string& encoding)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"" + label + "\"?>\n<p>";
    return { "declared-" + label, head + body + "</p>\n", head + text + "</p>\n", encoding, "declaration" };
}

// UTF-8 to a legacy encoding with glibc's encoder (the other direction from the one under test).
std::string encode(const char* encoder, const std::string& utf8)
{
    iconv_t handle = iconv_open(encoder, "UTF-8");
    std::string out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    const std::size_t result = iconv(handle, &in, &inLeft, &to, &toLeft);
    iconv_close(handle);
    EXPECT_NE(result, std::size_t(-1)) << encoder;
    out.resize(out.size() - toLeft);
    return out;
}

std::string utf16(const std::string& ascii16, bool littleEndian)
{
    // `ascii16` holds pairs of bytes, high byte first.
    std::string out;
    for (std::size_t i = 0; i + 1 < ascii16.size(); i += 2) {
        out.push_back(littleEndian ? ascii16[i + 1] : ascii16[i]);
        out.push_back(littleEndian ? ascii16[i] : ascii16[i + 1]);
    }
    return out;
}

std::string units(const std::string& ascii)
{
    std::string out;
    for (char c : ascii) {
        out.push_back('\0');
        out.push_back(c);
    }
    return out;
}

std::vector<Case> cases()
{
    std::vector<Case> all = {
        // Labels of narrow character sets whose files hold the Windows superset.
        declared("iso-8859-1",
            "\x93Smart quotes\x94 cost \x80"
            "50",
            "\u201CSmart quotes\u201D cost \u20AC50", "windows-1252"),
        declared("us-ascii", "It\x92s \x85 done", "It\u2019s \u2026 done", "windows-1252"),
        declared("iso-8859-9", "\x80 \xD0 \xFE \xDD", "\u20AC \u011E \u015F \u0130", "windows-1254"),
        declared("windows-1250", "\x8A\x9A\x8E\x9E \xB9", "\u0160\u0161\u017D\u017E \u0105", "windows-1250"),
        declared("windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2 \x88", "\u041F\u0440\u0438\u0432\u0435\u0442 \u20AC",
            "windows-1251"),
        declared("koi8-u", "\xF0\xD2\xC9\xD7\xA6\xD4 \xAE\xBE", "\u041F\u0440\u0438\u0432\u0456\u0442 \u045E\u040E",
            "KOI8-U"),
        declared("iso-8859-7", "\xC1\xE8\xDE\xED\xE1 \xA4 \xA5", "\u0391\u03B8\u03AE\u03BD\u03B1 \u20AC \u20AF",
            "ISO-8859-7"),
        declared("windows-1253", "\x80 \xA2", "\u20AC \u0386", "windows-1253"),
        declared("iso-8859-8-i", "\xF9\xEC\xE5\xED", "\u05E9\u05DC\u05D5\u05DD", "ISO-8859-8-I"),
        declared(
            "windows-1255", "\xF9\xEC\xE5\xED \xA4 \x80", "\u05E9\u05DC\u05D5\u05DD \u20AA \u20AC", "windows-1255"),
        declared(
            "iso-8859-6", "\xC7\xE4\xD9\xD1\xC8\xEA\xC9", "\u0627\u0644\u0639\u0631\u0628\u064A\u0629", "ISO-8859-6"),
        declared("windows-1256", "\xC7\xE1\xDA\xD1\xC8\xED\xC9 \x80",
            "\u0627\u0644\u0639\u0631\u0628\u064A\u0629 \u20AC", "windows-1256"),
        declared("tis-620", "\xCA\xC7\xD1\xCA\xB4\xD5 \x95 \x80", "\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35 \u2022 \u20AC",
            "windows-874"),
        // Shift_JIS keeps ASCII's backslash and tilde and has the NEC and IBM extensions.
        declared("shift_jis", "C:\\dir ~ \x87\x40 \x87\x8A \xFB\xFC \x93\xFA\x96\x7B",
            "C:\\dir ~ \u2460 \u3231 \u9AD9 \u65E5\u672C", "Shift_JIS"),
        declared("euc-jp", "\xAD\xA1 \xC6\xFC\xCB\xDC", "\u2460 \u65E5\u672C", "EUC-JP"),
        declared("iso-2022-jp", "\x1B$B$3$s$K$A$O\x1B(B", "\u3053\u3093\u306B\u3061\u306F", "ISO-2022-JP"),
        // gb2312 holds GBK (鎔) and 0x80 is the euro sign; Big5 has the duplicate at A2CC; EUC-KR the Windows
        // syllables (똠).
        declared("gb2312", "\xE6\x67 \xD6\xD0\xCE\xC4 \x80", "\u9394 \u4E2D\u6587 \u20AC", "GBK"),
        declared("big5", "\xA4\xA4\xA4\xE5 \xA2\xCC", "\u4E2D\u6587 \u5341", "Big5"),
        declared("euc-kr", "\x8C\x63 \xC7\xD1\xB1\xB9", "\uB620 \uD55C\uAD6D", "EUC-KR"),
        // A declaration that cannot be right for how it reads itself is ignored.
        { "ascii-declaring-ebcdic", "<?xml version=\"1.0\" encoding=\"IBM037\"?>\n<p>plain ASCII</p>\n",
            "<?xml version=\"1.0\" encoding=\"IBM037\"?>\n<p>plain ASCII</p>\n", "UTF-8", "detection" },
        // UTF-16 without a mark, recognised by its NULs, ASCII and not.
        { "utf16le-ascii", utf16(units("<p>hello, world</p>\n"), true), "<p>hello, world</p>\n", "UTF-16LE",
            "detection" },
        { "utf16be-ascii", utf16(units("<p>hello, world</p>\n"), false), "<p>hello, world</p>\n", "UTF-16BE",
            "detection" },
        { "utf16le-mixed",
            utf16(units("<p>Gr") + std::string("\x00\xFC\x00\xDF", 4) + units("e ") + "\x65\xE5\x67\x2C"
                    + units(" ok</p>\n"),
                true),
            "<p>Gr\u00FC\u00DFe \u65E5\u672C ok</p>\n", "UTF-16LE", "detection" },
        { "utf16be-mixed",
            utf16(units("<p>Gr") + std::string("\x00\xFC\x00\xDF", 4) + units("e ") + "\x65\xE5\x67\x2C"
                    + units(" ok</p>\n"),
                false),
            "<p>Gr\u00FC\u00DFe \u65E5\u672C ok</p>\n", "UTF-16BE", "detection" },
        // Short Western text without a declaration stays Windows-1252.
        { "short-cafe", "caf\xE9\n", "caf\u00E9\n", "windows-1252", "fallback" },
        { "short-resume", "na\xEFve r\xE9sum\xE9\n", "na\u00EFve r\u00E9sum\u00E9\n", "windows-1252", "fallback" },
    };
    const char* detected[]
        = { "Shift_JIS", "gb18030", "EUC-KR", "windows-1251", "ISO-8859-7", "windows-1255", "windows-1252" };
    std::size_t i = 0;
    for (const LegacyPage& page : kLegacyPages) {
        Case page_case { std::string("undeclared-") + page.name, encode(page.encoder, page.text), page.text,
            detected[i++], "detection" };
        EXPECT_GE(page_case.bytes.size(), 2048u) << page.name;
        all.push_back(page_case);
    }
    return all;
}

// The text without white space (the no-break and ideographic spaces too), which wrapping and pdftotext's layout
// move, and without the direction marks pdftotext puts around right-to-left words.
std::string visible(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f')
            continue;
        // U+202A to U+202E are E2 80 AA to E2 80 AE; U+00A0 is C2 A0.
        if (c == 0xE2 && i + 2 < text.size() && text[i + 1] == '\x80' && static_cast<unsigned char>(text[i + 2]) >= 0xAA
            && static_cast<unsigned char>(text[i + 2]) <= 0xAE) {
            i += 2;
            continue;
        }
        if (c == 0xC2 && i + 1 < text.size() && text[i + 1] == '\xA0') {
            ++i;
            continue;
        }
        if (c == 0xE3 && i + 2 < text.size() && text[i + 1] == '\x80' && text[i + 2] == '\x80') {
            i += 2; // the ideographic space
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

// Where two texts part, with a little of each from there: a failure names the place, not two whole pages.
std::string whereTheyPart(const std::string& got, const std::string& want)
{
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    at -= std::min<std::size_t>(at, 12);
    return "got \"" + got.substr(at, 60) + "\"\nwant \"" + want.substr(at, 60) + "\"";
}

class EncodingEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_in);
        for (const Case& c : m_cases)
            std::ofstream(m_in / (c.name + ".xml"), std::ios::binary) << c.bytes;
    }
    std::string pdfText(const fs::path& pdf)
    {
        std::string output;
        const fs::path txt = m_dir.path() / "text.txt";
        runProgram({ "pdftotext", "-raw", "-enc", "UTF-8", pdf.string(), txt.string() }, output, m_dir.path());
        return readFile(txt);
    }

    test::FreshConfigHome m_config;
    test::TempDir m_dir;
    fs::path m_in = m_dir.path() / "in";
    std::vector<Case> m_cases = cases();
};

} // namespace

TEST_F(EncodingEndToEnd, ConvertReadsEveryFileAsBrowsersDoAndSaysHow)
{
    std::string output;
    std::vector<std::string> arguments { (binDir() / "papyrant-convert").string(), "-o",
        (m_dir.path() / "out").string(), "--json", (m_dir.path() / "report.json").string() };
    for (const Case& c : m_cases)
        arguments.push_back((m_in / (c.name + ".xml")).string());
    ASSERT_EQ(runProgram(arguments, output, m_dir.path()), 0) << output;
    const std::string report = readFile(m_dir.path() / "report.json");
    for (const Case& c : m_cases) {
        const std::string got = visible(pdfText(m_dir.path() / "out" / (c.name + ".pdf")));
        EXPECT_TRUE(got == visible(c.expected)) << c.name << ": " << whereTheyPart(got, visible(c.expected));
        const std::string fields = "\"encoding\":\"" + c.encoding + "\",\"encoding_from\":\"" + c.from + "\"";
        const std::size_t line = report.find("/" + c.name + ".pdf\"");
        ASSERT_NE(line, std::string::npos) << c.name;
        EXPECT_EQ(report.substr(line, report.find('\n', line) - line).find(fields) != std::string::npos, true)
            << c.name << " wants " << fields << " in " << report.substr(line, report.find('\n', line) - line);
    }
}

TEST_F(EncodingEndToEnd, PadprintReadsEveryFileAsBrowsersDo)
{
    SqlitePrinterTable setup(SqliteConnection::defaultDatabasePath());
    ASSERT_EQ(setup.addPrinter(kPdfPrinterName), PrinterChange::Done);
    ASSERT_TRUE(setup.setDefaultPrinter(kPdfPrinterName));
    const std::unique_ptr<Registry> registry = openUserRegistry();
    for (const Case& c : m_cases) {
        const fs::path pdf = m_dir.path() / (c.name + ".pdf");
        ASSERT_TRUE(registry->writeStrings(
            RegistryHive::CurrentUser, kPdfPrinterKey, { { "OutputFile", pdf.string() }, { "BypassSaveAs", "1" } }));
        std::string output;
        ASSERT_EQ(runProgram({ (binDir() / "padprint").string(), "/p", (m_in / (c.name + ".xml")).string() }, output,
                      m_dir.path()),
            0)
            << c.name << ": " << output;
        const std::string got = visible(pdfText(pdf));
        EXPECT_TRUE(got == visible(c.expected)) << c.name << ": " << whereTheyPart(got, visible(c.expected));
    }
}
