#include "print/TextDecoder.h"

#include "print/ByteSource.h"
#include "print/WebEncoding.h"
#include "tests/support/LegacyPages.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <tuple>

using namespace papyrant;

namespace {

struct Decoded
{
    std::string encoding;
    std::string text;
    EncodingChoice::Source source = EncodingChoice::Source::Fallback;
};

// Reads at most `step` bytes at a time, so sequences are split between reads.
class TrickleSource : public ByteSource
{
public:
    TrickleSource(std::string_view bytes, std::size_t step)
        : m_inner(bytes)
        , m_step(step)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        return m_inner.read(buffer, std::min(size, m_step));
    }
    void rewind() override
    {
        m_inner.rewind();
    }

private:
    MemoryByteSource m_inner;
    std::size_t m_step;
};

Decoded decode(std::string_view bytes, std::size_t step = 1 << 20)
{
    TrickleSource source(bytes, step);
    TextDecoder decoder(source);
    Decoded result { decoder.encoding().name, {}, decoder.encoding().source };
    while (decoder.next(result.text)) { }
    return result;
}

bool validUtf8(const std::string& text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const int length = utf8::sequenceLength(p + i, text.size() - i);
        if (length <= 0)
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

const std::string kXmlUtf8 = "<?xml version=\"1.0\"?><a>caf\xC3\xA9 \xCE\xB1 \xE4\xB8\xAD \xF0\x9F\x98\x80</a>";

} // namespace

TEST(TextDecoder, ByteOrderMarksChooseTheEncodingAndAreDropped)
{
    const Decoded utf8Marked = decode("\xEF\xBB\xBF" + kXmlUtf8);
    EXPECT_EQ(utf8Marked.encoding, "UTF-8");
    EXPECT_EQ(utf8Marked.text, kXmlUtf8);

    // "h\u00e9\u4e2d\U0001F600" in UTF-16 LE and BE (the last as a surrogate pair), one byte per read.
    const std::string le("\xFF\xFE"
                         "h\0\xE9\0\x2D\x4E\x3D\xD8\x00\xDE",
        12);
    const std::string be("\xFE\xFF"
                         "\0h\0\xE9\x4E\x2D\xD8\x3D\xDE\x00",
        12);
    for (const auto& [bytes, name] : { std::pair { le, "UTF-16LE" }, std::pair { be, "UTF-16BE" } }) {
        const Decoded decoded = decode(bytes, 1);
        EXPECT_EQ(decoded.encoding, name);
        EXPECT_EQ(decoded.text, "h\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    }

    // A mark wins over a declaration that says otherwise.
    EXPECT_EQ(decode("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\xC3\xA9").text,
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\xC3\xA9");
    // UTF-16 without a mark is recognised by its declaration's first characters.
    const std::string unmarked("<\0?\0x\0m\0l\0?\0>\0\xE9\0", 16);
    EXPECT_EQ(decode(unmarked).text, "<?xml?>\xC3\xA9");
}

TEST(TextDecoder, XmlDeclarationNamesTheEncoding)
{
    // ISO-8859-1 is read as its Windows superset, as browsers read it: 0x80 is the euro sign.
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>caf\xE9 \x80").text,
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>caf\xC3\xA9 \xE2\x82\xAC");
    // ISO-8859-15 has the euro sign where ISO-8859-1 has the currency sign.
    const Decoded latin9 = decode("<?xml version='1.0' encoding = 'iso-8859-15' ?>\xA4");
    EXPECT_EQ(latin9.encoding, "ISO-8859-15");
    EXPECT_EQ(latin9.text.substr(latin9.text.size() - 3), "\xE2\x82\xAC");
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\x80\x93").encoding, "windows-1252");
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\x80\x93").text.substr(45),
        "\xE2\x82\xAC\xE2\x80\x9C");
    // Anything iconv knows: KOI8-R.
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\xF0").text.substr(39), "\xD0\x9F");

    // Declarations that cannot be right or cannot be used fall back to the content: UTF-8 when valid.
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\xC3\xA9").text.substr(39), "\xC3\xA9");
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"no-such-charset\"?>\xC3\xA9").encoding, "UTF-8");
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"UTF-8\"?>caf\xE9").encoding, "windows-1252");
    // A declaration's bytes outside the declaration do not count.
    EXPECT_EQ(decode("<?xml version=\"1.0\"?><a encoding=\"KOI8-R\"/>").encoding, "UTF-8");
    // Nor do those past the first 1024 bytes of an unclosed declaration, however the bytes arrive (a file read
    // a few bytes at a time once chose another encoding than the same file read whole).
    const std::string farDeclaration = "<?xml version=\"1.0\"" + std::string(1100, ' ') + "encoding=\"KOI8-R\"?>\xF0";
    for (const std::size_t step : { std::size_t { 7 }, std::size_t { 1 << 20 } })
        EXPECT_EQ(decode(farDeclaration, step).encoding, "windows-1252") << step;
}

TEST(TextDecoder, InvalidUtf8IsReadAsWindows1252)
{
    // Undeclared text is UTF-8 only when all of it is; one bad byte at the very end decides.
    std::string text(200000, 'a');
    text += "\xC3\xA9";
    EXPECT_EQ(decode(text, 4096).encoding, "UTF-8");
    text += "\xE9";
    const Decoded decoded = decode(text, 4096);
    EXPECT_EQ(decoded.encoding, "windows-1252");
    EXPECT_EQ(decoded.text.substr(decoded.text.size() - 6), "\xC3\x83\xC2\xA9\xC3\xA9");

    // Overlong forms, surrogates and a sequence cut off at the end are not UTF-8.
    EXPECT_EQ(decode("\xC0\xAF").encoding, "windows-1252");
    EXPECT_EQ(decode("\xED\xA0\x80").encoding, "windows-1252");
    EXPECT_EQ(decode("ab\xE4\xB8").encoding, "windows-1252");
    // The five bytes Windows-1252 leaves undefined become the C1 controls, not lost.
    EXPECT_EQ(decode("\x81\x8D\x8F\x90\x9D").text, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    // A stray byte in text marked as UTF-8 keeps its place.
    EXPECT_EQ(decode("\xEF\xBB\xBF"
                     "a\xE9z")
                  .text,
        "a\xC3\xA9z");
}

TEST(TextDecoder, OutputIsAlwaysValidUtf8)
{
    // Every byte value, alone and in runs, in each way of reading, split at every read size.
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.push_back(static_cast<char>(i));
    const std::string cases[] = {
        allBytes,
        "\xEF\xBB\xBF" + allBytes,
        "\xFF\xFE" + allBytes + "\x00\xD8", // ends in a lone surrogate
        "\xFE\xFF" + allBytes + "\xD8", // ends halfway through a unit
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + allBytes,
        "<?xml version=\"1.0\" encoding=\"SHIFT_JIS\"?>" + allBytes,
        // UCS-4 units past U+10FFFF or in the surrogate range, which iconv passes on as ill-formed UTF-8.
        std::string("\x03<?xmlding=?\x01"
                    "CS-?xml encoding=\"UCS4\"?>",
            37),
        "<?xml version=\"1.0\" encoding=\"UCS-4BE\"?>" + std::string("\x00\x00\xD8\x00\x7F\xFF\xFF\xFF", 8),
        "",
    };
    for (const std::string& bytes : cases) {
        for (std::size_t step : { 1, 3, 7, 1 << 20 }) {
            const Decoded decoded = decode(bytes, step);
            EXPECT_TRUE(validUtf8(decoded.text)) << decoded.encoding << " step " << step;
            EXPECT_EQ(decoded.text, decode(bytes).text) << decoded.encoding << " depends on the read size";
        }
    }
    EXPECT_EQ(decode("").text, "");
}

namespace {

// The text of `bytes` in a file that declares `label`, without the declaration.
std::string readAs(const std::string& label, const std::string& bytes)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"" + label + "\"?>";
    const Decoded decoded = decode(declaration + bytes);
    EXPECT_EQ(decoded.source, EncodingChoice::Source::Declaration) << label;
    return decoded.text.substr(std::min(decoded.text.size(), declaration.size()));
}

std::string utf8Of(std::u32string_view text)
{
    std::string out;
    for (const char32_t c : text)
        utf8::append(out, c);
    return out;
}

} // namespace

TEST(TextDecoder, LabelsNameTheEncodingsBrowsersRead)
{
    const std::pair<const char*, const char*> labels[] = {
        { " Latin1\t", "windows-1252" },
        { "US-ASCII", "windows-1252" },
        { "iso-8859-9", "windows-1254" },
        { "tis-620", "windows-874" },
        { "iso-8859-11", "windows-874" },
        { "gb2312", "GBK" },
        { "ks_c_5601-1987", "EUC-KR" },
        { "x-sjis", "Shift_JIS" },
        { "windows-31j", "Shift_JIS" },
        { "big5-hkscs", "Big5" },
        { "koi8-ru", "KOI8-U" },
        { "logical", "ISO-8859-8-I" },
    };
    for (const auto& [label, name] : labels) {
        const WebEncoding* encoding = webEncodingForLabel(label);
        ASSERT_NE(encoding, nullptr) << label;
        EXPECT_EQ(encoding->name, name) << label;
    }
    // Browsers refuse these; here the converter reads them, as any label it knows that the table lacks.
    EXPECT_EQ(webEncodingForLabel("iso-2022-kr"), nullptr);
    EXPECT_EQ(webEncodingForLabel("latin-1"), nullptr);
    EXPECT_EQ(readAs("CP437", "\x82"), "\xC3\xA9");
    EXPECT_EQ(readAs("ISO-2022-KR", "\x1B$)C\x0E\x47\x51\x0F!"), "\xED\x95\x9C!");
    const Decoded declared = decode("<?xml version=\"1.0\" encoding=\"latin1\"?>\x80");
    EXPECT_EQ(declared.encoding, "windows-1252");
    EXPECT_EQ(declared.text.substr(39), "\xE2\x82\xAC");
}

// Each byte where glibc's converter and the browsers' table part, read as the browsers read it (the values come
// from the browsers' index tables, written out here).
TEST(TextDecoder, WhereTheConverterDiffersTheBrowsersReadingWins)
{
    // Windows code pages: the bytes of 0x80 to 0x9F they leave open are the C1 controls of the same value.
    const std::pair<const char*, std::string> openBytes[] = {
        { "windows-874",
            "\x81\x82\x83\x84\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F" },
        { "windows-1250", "\x81\x83\x88\x90\x98" },
        { "windows-1251", "\x98" },
        { "windows-1252", "\x81\x8D\x8F\x90\x9D" },
        { "windows-1253", "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F" },
        { "windows-1254", "\x81\x8D\x8E\x8F\x90\x9D\x9E" },
        { "windows-1255", "\x81\x8A\x8C\x8D\x8E\x8F\x90\x9A\x9C\x9D\x9E\x9F" },
        { "windows-1257", "\x81\x83\x88\x8A\x8C\x90\x98\x9A\x9C\x9F" },
        { "windows-1258", "\x81\x8A\x8D\x8E\x8F\x90\x9A\x9D\x9E" },
    };
    for (const auto& [label, bytes] : openBytes) {
        std::u32string expected;
        for (const char b : bytes)
            expected.push_back(static_cast<unsigned char>(b));
        EXPECT_EQ(readAs(label, bytes), utf8Of(expected)) << label;
    }

    const std::tuple<const char*, std::string, std::u32string> cases[] = {
        { "windows-1255", "\xCA", U"\u05BA" },
        // A letter and its mark stay two characters (glibc's CP1255 and CP1258 would join them).
        { "windows-1255", "\xF9\xD1", U"\u05E9\u05C1" },
        { "windows-1258", "A\xCC", U"A\u0300" },
        { "koi8-u", "\xAE\xBE", U"\u045E\u040E" },
        { "macintosh", "\xC6\xF0", U"\u2206\uF8FF" },
        { "x-mac-cyrillic", "\xFF", U"\u20AC" },
        { "shift_jis", "\x80", U"\u0080" },
        { "gbk", "\x80", U"\u20AC" },
        { "gb18030", "\xA3\xA0", U"\u3000" },
        { "gb18030", "\xFE\x51\xFE\x52\xFE\x53\xFE\x6C\xFE\x76\xFE\x91", U"\uE816\uE817\uE818\uE831\uE83B\uE855" },
        { "gb18030", "\x82\x35\x90\x37\x82\x35\x91\x34", U"\u9FB4\u9FBB" },
        { "gb18030", "\x84\x31\x82\x36\x84\x31\x83\x35", U"\uFE10\uFE19" },
        { "big5", "\x80", U"\uFFFD" },
        { "big5", "\xA1\x45\xA2\xCC\xA2\xCE\x8E\x69\xA3\xE1", U"\u2027\u5341\u5345\u7BB8\u20AC" },
        { "euc-jp", "\xAD\xA1\xA1\xC1\xF9\xA1\x8F\xA2\xC3", U"\u2460\uFF5E\u7E8A\u00A6" },
        { "euc-jp", "\x80", U"\uFFFD" },
    };
    for (const auto& [label, bytes, expected] : cases)
        EXPECT_EQ(readAs(label, bytes), utf8Of(expected)) << label;
}

TEST(TextDecoder, Utf16WithoutAMarkIsRecognisedByItsNuls)
{
    const std::string ascii("<\0p\0>\0h\0i\0", 10);
    std::string swapped;
    for (std::size_t i = 0; i < ascii.size(); i += 2)
        swapped += std::string { ascii[i + 1], ascii[i] };
    for (const auto& [bytes, name] : { std::pair { ascii, "UTF-16LE" }, std::pair { swapped, "UTF-16BE" } }) {
        const Decoded decoded = decode(bytes, 3);
        EXPECT_EQ(decoded.encoding, name);
        EXPECT_EQ(decoded.source, EncodingChoice::Source::Detection);
        EXPECT_EQ(decoded.text, "<p>hi");
    }
    // One unit in four with a NUL is enough ("a中文日"); one in five is not.
    const std::string oneInFour("a\0\x2D\x4E\x87\x65\xE5\x65", 8);
    EXPECT_EQ(decode(oneInFour).text, "a\xE4\xB8\xAD\xE6\x96\x87\xE6\x97\xA5");
    EXPECT_NE(decode(oneInFour + "\x2C\x67").encoding, "UTF-16LE");
    // NULs on both sides are not UTF-16's pattern.
    EXPECT_NE(decode(std::string("a\0\0b", 4)).encoding.substr(0, 6), "UTF-16");
}

TEST(TextDecoder, ImpossibleDeclarationsAreIgnored)
{
    // The declaration of an ASCII file cannot be EBCDIC, UTF-16 or UTF-32: it read as ASCII.
    for (const char* label : { "IBM037", "UTF-16", "utf-16le", "UTF-32" }) {
        const std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + label + "\"?><p>plain</p>";
        const Decoded decoded = decode(text);
        EXPECT_EQ(decoded.encoding, "UTF-8") << label;
        EXPECT_EQ(decoded.source, EncodingChoice::Source::Detection) << label;
        EXPECT_EQ(decoded.text, text) << label;
    }
    EXPECT_EQ(decode("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").source, EncodingChoice::Source::Declaration);
    EXPECT_EQ(decode("\xEF\xBB\xBFx").source, EncodingChoice::Source::Mark);
}

TEST(TextDecoder, UndeclaredLegacyTextIsDetectedOnlyOnClearEvidence)
{
    // Short Western text stays Windows-1252, whatever a guess at so few bytes would say.
    for (const std::string& text : { std::string("caf\xE9"), std::string("na\xEFve r\xE9sum\xE9\n"),
             std::string("Se\xF1or Mu\xF1oz, \xBFqu\xE9 tal? \x93"
                         "Bien\x94 \x80"
                         "5\n") }) {
        const Decoded decoded = decode(text);
        EXPECT_EQ(decoded.encoding, "windows-1252") << text;
        EXPECT_EQ(decoded.source, EncodingChoice::Source::Fallback) << text;
    }
    EXPECT_EQ(decode("na\xEFve r\xE9sum\xE9").text, "na\xC3\xAFve r\xC3\xA9sum\xC3\xA9");

    // A Shift_JIS page is recognised, however its bytes arrive; one sequence it cannot hold and it is not.
    const test::LegacyPage& page = test::kLegacyPages[0];
    std::string bytes;
    {
        iconv_t toShiftJis = iconv_open(page.encoder, "UTF-8");
        std::string in = page.text;
        bytes.resize(in.size() * 2);
        char* from = in.data();
        std::size_t fromLeft = in.size();
        char* to = bytes.data();
        std::size_t toLeft = bytes.size();
        ASSERT_NE(iconv(toShiftJis, &from, &fromLeft, &to, &toLeft), std::size_t(-1));
        bytes.resize(bytes.size() - toLeft);
        iconv_close(toShiftJis);
    }
    for (const std::size_t step : { std::size_t { 5 }, std::size_t { 1 << 20 } }) {
        const Decoded decoded = decode(bytes, step);
        EXPECT_EQ(decoded.encoding, "Shift_JIS");
        EXPECT_EQ(decoded.source, EncodingChoice::Source::Detection);
        EXPECT_EQ(decoded.text, page.text);
    }
    EXPECT_EQ(decode(bytes + "\x85\x40").encoding, "windows-1252");
}
