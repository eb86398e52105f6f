#include "print/PrintableLines.h"

#include "print/PaperSize.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;

namespace {

// The lines of a text fed in pieces of `step` bytes.
std::vector<std::string> linesOf(std::string_view text, std::size_t step = 1 << 20)
{
    std::vector<std::string> lines;
    PrintableLines printable([&lines](std::string_view line) { lines.emplace_back(line); });
    for (std::size_t i = 0; i < text.size(); i += step)
        printable.add(text.substr(i, step));
    printable.finish();
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

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
