#include "print/PrintableLines.h"

#include "print/FontFallback.h"
#include "print/LocaleName.h"
#include "print/PaperSize.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace papyrant;

namespace {

// The lines of a text fed in pieces of `step` bytes.
std::vector<std::string> linesOf(std::string_view text, std::size_t step = 1 << 20)
{
    std::vector<std::string> lines;
    PrintableLines printable([&lines](const PrintLine& line) { lines.emplace_back(line.text); });
    for (std::size_t i = 0; i < text.size(); i += step)
        printable.add(text.substr(i, step));
    printable.finish();
    return lines;
}

using Lines = std::vector<std::string>;

// The source line number each printed line carries.
std::vector<std::uint64_t> numbersOf(std::string_view text)
{
    std::vector<std::uint64_t> numbers;
    PrintableLines printable([&numbers](const PrintLine& line) { numbers.push_back(line.sourceLine); });
    printable.add(text);
    printable.finish();
    return numbers;
}

} // namespace

TEST(PrintableLines, LinesCarryTheSourceLineTheyBeginAndCutPartsCarryNone)
{
    using Numbers = std::vector<std::uint64_t>;
    EXPECT_EQ(numbersOf("a\r\nb\n\nc\rd"), (Numbers { 1, 2, 3, 4, 5 }));
    const std::string longLine(PrintableLines::kMaxLineChars * 2 + 5, 'x');
    EXPECT_EQ(numbersOf("a\n" + longLine + "\nb"), (Numbers { 1, 2, 0, 0, 3 }));
    // A line cut exactly at its end: the break ends it and the next line is the next source line.
    const std::string exact(PrintableLines::kMaxLineChars, 'x');
    EXPECT_EQ(numbersOf(exact + "\nb"), (Numbers { 1, 2 }));
}

TEST(PrintableLines, CrLfLfAndCrEachEndOneLine)
{
    for (std::size_t step : { 1, 2, 1 << 20 }) {
        EXPECT_EQ(linesOf("a\r\nb\nc\rd", step), (Lines { "a", "b", "c", "d" })) << step;
        EXPECT_EQ(linesOf("a\r\r\nb\n\n", step), (Lines { "a", "", "b", "" })) << step;
        EXPECT_EQ(linesOf("\r\n", step), (Lines { "" })) << step;
    }
    EXPECT_EQ(linesOf(""), Lines {});
    EXPECT_EQ(linesOf("last line without a break"), (Lines { "last line without a break" }));
}

TEST(PrintableLines, TabsReachTheNextMultipleOfEightColumns)
{
    EXPECT_EQ(linesOf("\tx"), (Lines { "        x" }));
    EXPECT_EQ(linesOf("abc\tx\ty"), (Lines { "abc     x       y" }));
    EXPECT_EQ(linesOf("abcdefgh\tx"), (Lines { "abcdefgh        x" }));
    // Columns count characters, not bytes.
    EXPECT_EQ(linesOf("\xC3\xA9\xE4\xB8\xAD\tx"), (Lines { "\xC3\xA9\xE4\xB8\xAD      x" }));
}

TEST(PrintableLines, ControlCharactersAreShownNotDropped)
{
    EXPECT_EQ(linesOf(std::string("a\0b\x01\x1B\x7F\x0C", 7)), (Lines { "a^@b^A^[^?^L" }));
    EXPECT_EQ(linesOf("\xC2\x85x\xE2\x80\xA8y\xE2\x80\xA9"), (Lines { "<U+0085>x<U+2028>y<U+2029>" }));
    // Invisible characters would vanish from the page; joiners stay, as scripts need them to join letters.
    EXPECT_EQ(linesOf("a\xC2\xAD"
                      "b\xE2\x80\x8B"
                      "c\xE2\x80\xAE"
                      "d\xEF\xBB\xBF\xE2\x80\x8D"),
        (Lines { "a<U+00AD>b<U+200B>c<U+202E>d<U+FEFF>\xE2\x80\x8D" }));
    // Bytes that are not UTF-8 become U+FFFD, whole sequences stay whole even split between pieces.
    EXPECT_EQ(linesOf("a\xFF\xE4\xB8\xADz", 1), (Lines { "a\xEF\xBF\xBD\xE4\xB8\xADz" }));
    EXPECT_EQ(linesOf("a\xE4\xB8", 1), (Lines { "a\xEF\xBF\xBD\xEF\xBF\xBD" }));
}

TEST(PrintableLines, NoncharactersAreShownByNumberTheirNeighboursAsThemselves)
{
    // U+FDD0..U+FDEF and the last two code points of each plane, here of planes 0, 1 and 16.
    EXPECT_EQ(linesOf("a\xEF\xBF\xBF"
                      "b\xEF\xBF\xBE\xEF\xB7\x90\xEF\xB7\xAF\xF0\x9F\xBF\xBE\xF4\x8F\xBF\xBF",
                  1),
        (Lines { "a<U+FFFF>b<U+FFFE><U+FDD0><U+FDEF><U+1FFFE><U+10FFFF>" }));
    // U+FDCF, U+FDF0, U+FFFD and U+1FFFD are characters like any other.
    const std::string neighbours = "\xEF\xB7\x8F\xEF\xB7\xB0\xEF\xBF\xBD\xF0\x9F\xBF\xBD";
    EXPECT_EQ(linesOf(neighbours), (Lines { neighbours }));
}

TEST(PrintableLines, VeryLongLinesAreHandedOutInBoundedParts)
{
    const std::size_t max = PrintableLines::kMaxLineChars;
    const Lines lines = linesOf(std::string(2 * max + 5, 'x') + "\nnext\n", 4096);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].size(), max);
    EXPECT_EQ(lines[1].size(), max);
    EXPECT_EQ(lines[2], "xxxxx");
    EXPECT_EQ(lines[3], "next");
    // A break right where a part ends does not add an empty line.
    EXPECT_EQ(linesOf(std::string(max, 'y') + "\r\nz").size(), 2u);
}

TEST(PrintableLines, StyledTextKeepsItsStyleOverExactlyWhatItBecame)
{
    struct Line
    {
        std::string text;
        std::vector<StyleSpan> spans;
        std::uint64_t number;
    };
    std::vector<Line> lines;
    PrintableLines printable([&lines](const PrintLine& line) {
        lines.push_back({ std::string(line.text), { line.spans.begin(), line.spans.end() }, line.sourceLine });
    });
    const auto span
        = [](std::uint32_t begin, std::uint32_t end, TextStyle style) { return std::tuple(begin, end, style); };
    const auto spansOf = [&span](const Line& line) {
        std::vector<std::tuple<std::uint32_t, std::uint32_t, TextStyle>> spans;
        for (const StyleSpan& s : line.spans)
            spans.push_back(span(s.begin, s.end, s.style));
        return spans;
    };
    using Spans = std::vector<std::tuple<std::uint32_t, std::uint32_t, TextStyle>>;

    // A tab, a caret and a code point shown by number grow the line: the spans move with them.
    printable.add("a\t");
    printable.add("<b\x01", TextStyle::Markup);
    printable.add("\xC2\xAD"
                  "c",
        TextStyle::Comment);
    printable.add("d\te");
    // Styled text over a break and over a cut for length: each line gets its share.
    printable.add("ab\ncd", TextStyle::Comment);
    printable.add("\n" + std::string(PrintableLines::kMaxLineChars - 2, 'x'));
    printable.add("yyyy", TextStyle::AttributeValue);
    // A break not in the source: the next line begins where the caller says, the source's breaks count on.
    printable.breakLine(40);
    printable.add("z\nw");
    printable.finish();

    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].text, "a       <b^A<U+00AD>cd  eab");
    EXPECT_EQ(spansOf(lines[0]),
        (Spans { span(8, 12, TextStyle::Markup), span(12, 21, TextStyle::Comment), span(25, 27, TextStyle::Comment) }));
    EXPECT_EQ(lines[1].text, "cd");
    EXPECT_EQ(spansOf(lines[1]), (Spans { span(0, 2, TextStyle::Comment) }));
    const std::uint32_t max = PrintableLines::kMaxLineChars;
    EXPECT_EQ(spansOf(lines[2]), (Spans { span(max - 2, max, TextStyle::AttributeValue) }));
    EXPECT_EQ(lines[3].text, "yy");
    EXPECT_EQ(spansOf(lines[3]), (Spans { span(0, 2, TextStyle::AttributeValue) }));
    // Plain text after styled text, past a break, is plain again.
    EXPECT_EQ(lines[4].text, "z");
    EXPECT_TRUE(lines[4].spans.empty());
    EXPECT_EQ(lines[5].text, "w");
    EXPECT_TRUE(lines[5].spans.empty());
    std::vector<std::uint64_t> numbers;
    for (const Line& line : lines)
        numbers.push_back(line.number);
    EXPECT_EQ(numbers, (std::vector<std::uint64_t> { 1, 2, 3, 0, 40, 41 }));
}

TEST(PrintableLines, StyledPiecesShowEveryByteWhateverTheirLengthAndWhereTheByteSits)
{
    // Styled pieces of printable ASCII take a shorter way to the line, which checks several bytes at once: a byte
    // just outside the printable range must still be shown as it is in plain text, wherever it sits.
    const std::vector<std::pair<std::string, std::string>> shown = {
        { std::string(1, '\0'), "^@" },
        { "\x1F", "^_" },
        { "\x7F", "^?" },
        { "\xC3\xA9", "\xC3\xA9" },
        { "\xFF", "\xEF\xBF\xBD" },
        { "~", "~" },
        { " ", " " },
    };
    for (std::size_t length = 1; length <= 20; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const auto& [byte, expected] : shown) {
                const std::string piece = std::string(at, 'a') + byte + std::string(length - at - 1, 'b');
                std::vector<std::string> lines;
                std::vector<StyleSpan> spans;
                PrintableLines printable([&](const PrintLine& line) {
                    lines.emplace_back(line.text);
                    spans.assign(line.spans.begin(), line.spans.end());
                });
                printable.add("<", TextStyle::Text);
                printable.add(piece, TextStyle::AttributeValue);
                printable.finish();
                const std::string line = "<" + std::string(at, 'a') + expected + std::string(length - at - 1, 'b');
                ASSERT_EQ(lines, std::vector<std::string> { line }) << length << " " << at;
                ASSERT_EQ(spans.size(), 1u);
                EXPECT_EQ(spans[0].begin, 1u);
                EXPECT_EQ(spans[0].end, line.size());
            }
        }
    }
}

TEST(PaperSize, LetterInTheUsAndCanadaA4Elsewhere)
{
    EXPECT_STREQ(paperForLocaleName("en_US.UTF-8").name, "Letter");
    EXPECT_STREQ(paperForLocaleName("es_US").name, "Letter");
    EXPECT_STREQ(paperForLocaleName("fr_CA.UTF-8@euro").name, "Letter");
    EXPECT_STREQ(paperForLocaleName("en_GB.UTF-8").name, "A4");
    EXPECT_STREQ(paperForLocaleName("de_DE").name, "A4");
    EXPECT_STREQ(paperForLocaleName("C.UTF-8").name, "A4");
    EXPECT_STREQ(paperForLocaleName("POSIX").name, "A4");
    EXPECT_STREQ(paperForLocaleName("").name, "A4");
}

TEST(LocaleName, LanguageAndTerritoryWithoutCodeSetOrModifier)
{
    const LocaleName brazil = parseLocaleName("pt_BR.UTF-8@euro");
    EXPECT_EQ(brazil.language, "pt");
    EXPECT_EQ(brazil.territory, "BR");
    EXPECT_EQ(brazil.languageTag(), "pt-BR");
    EXPECT_EQ(parseLocaleName("sr_RS@latin").languageTag(), "sr-RS");
    EXPECT_EQ(parseLocaleName("th").languageTag(), "th");
    EXPECT_EQ(parseLocaleName("de.UTF-8").languageTag(), "de");
    for (const char* none : { "C", "C.UTF-8", "POSIX", "" }) {
        EXPECT_EQ(parseLocaleName(none).languageTag(), "") << none;
        EXPECT_EQ(parseLocaleName(none).territory, "") << none;
    }
}

TEST(FontFallback, CjkFacesFollowTheLocalesLanguageAndTerritory)
{
    const auto first = [](const char* locale) { return fallbackFamilies(locale).front(); };
    EXPECT_EQ(first("ja_JP.UTF-8"), "IPAGothic");
    EXPECT_EQ(first("ko_KR.UTF-8"), "D2Coding");
    EXPECT_EQ(first("zh_TW.UTF-8"), "AR PL Mingti2L Big5");
    EXPECT_EQ(first("zh_HK"), "AR PL Mingti2L Big5");
    // Simplified forms for the rest of Chinese and every other language, those whose code merely starts
    // like Japanese's or Korean's among them (Jamaican Patois, Konkani).
    for (const char* locale : { "zh_CN.UTF-8", "zh_SG", "en_US.UTF-8", "jam_JM", "kok_IN", "C.UTF-8", "" })
        EXPECT_EQ(first(locale), "WenQuanYi Micro Hei Mono") << locale;
}
