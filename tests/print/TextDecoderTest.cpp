#include "print/TextDecoder.h"

#include "print/ByteSource.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>
#include <string>

using namespace papyrant;

namespace {

struct Decoded
{
    std::string encoding;
    std::string text;
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
    Decoded result { decoder.encoding().name, {} };
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
