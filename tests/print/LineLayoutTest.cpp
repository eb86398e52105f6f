#include "print/FontSet.h"
#include "print/LineShaper.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;

namespace {

constexpr double kFontSize = 10.0;
constexpr double kA4TextWidth = 595.2756 - 2 * 90.0;

std::vector<LineShaper::Row> layOut(const std::string& line, double width, const char* locale = "C.UTF-8")
{
    FontSet fonts(locale);
    EXPECT_TRUE(fonts.valid()) << fonts.problem();
    LineShaper shaper(fonts, kFontSize);
    std::vector<LineShaper::Row> rows;
    shaper.layOut(line, width, rows);
    return rows;
}

// How many times each byte of the line is given back by the codes of the glyphs drawn for it (a span over
// several glyphs gives the same text again, for the readers that take spans instead of codes).
std::vector<int> timesCopiedBack(const std::string& line, const std::vector<LineShaper::Row>& rows)
{
    std::vector<int> times(line.size());
    for (const LineShaper::Row& row : rows) {
        for (const PlacedGlyph& glyph : row.glyphs) {
            for (std::uint32_t b = glyph.textBegin; b < glyph.textBegin + glyph.textLength && b < line.size(); ++b)
                ++times[b];
        }
    }
    return times;
}

// The first byte of the line that each row draws.
std::vector<std::uint32_t> rowStarts(const std::vector<LineShaper::Row>& rows)
{
    std::vector<std::uint32_t> starts;
    for (const LineShaper::Row& row : rows) {
        std::uint32_t first = UINT32_MAX;
        for (const PlacedGlyph& glyph : row.glyphs)
            first = std::min(first, glyph.textBegin);
        starts.push_back(first);
    }
    return starts;
}

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

} // namespace

// Lines that once aborted the program or took minutes: each byte is drawn and given back exactly once.
TEST(LineLayout, EveryByteOfAnyLineIsGivenBackOnce)
{
    const std::vector<std::string> lines = {
        "Flags: \U0001F1FA\U0001F1F8\U0001F1EF\U0001F1F5 and a lone \U0001F1E9 end",
        "a\uFFFFb \uFFFE\uFDD0 \U0010FFFF\U0001FFFE",
        "\u202Eabc\u202C \u2067\u05E9\u05C1\u05B8\u05DC\u05D5\u05B9\u05DD 123\u2069 (x) \u200F",
        "a" + repeated("\u200D", 16384) + "b",
        "\u2764" + repeated("\uFE0F", 5000) + " a" + repeated("\u034F", 5000),
        repeated("\u0E09\u0E31\u0E19\u0E01\u0E34\u0E19", 40),
        "\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F \u0661\u0662\u0663",
    };
    for (const std::string& line : lines) {
        const std::vector<LineShaper::Row> rows = layOut(line, kA4TextWidth);
        const std::vector<int> times = timesCopiedBack(line, rows);
        for (std::size_t b = 0; b < line.size(); ++b) {
            if (times[b] != 1) {
                ADD_FAILURE() << "byte " << b << " given back " << times[b] << " times in a line of " << line.size();
                break;
            }
        }
    }
}

// Thai, alef wasla and the Arabic Supplement, a flag and Devanagari each have an installed face: none of them
// is drawn as an empty box.
TEST(LineLayout, ScriptsOfTheFallbackFacesAreDrawnWithRealGlyphs)
{
    for (const std::string line : { "\u0E09\u0E31\u0E19\u0E01\u0E34\u0E19", "\u0671\u0644\u0652", "\u0750\u0751",
             "\U0001F1FA\U0001F1F8", "\u0915\u094D\u0937" }) {
        for (const LineShaper::Row& row : layOut(line, kA4TextWidth)) {
            for (const PlacedGlyph& glyph : row.glyphs) {
                EXPECT_NE(glyph.face, FontSet::kNoFace) << line;
                EXPECT_NE(glyph.glyph, 0u) << line;
            }
        }
    }
}

// Thai writes no spaces between words: a long line wraps between words all the same, never inside one.
TEST(LineLayout, ThaiWrapsBetweenWords)
{
    const std::vector<std::string> words = { "\u0E09\u0E31\u0E19", "\u0E01\u0E34\u0E19", "\u0E02\u0E49\u0E32\u0E27",
        "\u0E17\u0E35\u0E48", "\u0E1A\u0E49\u0E32\u0E19" };
    std::string line;
    std::vector<std::uint32_t> wordStarts;
    for (int i = 0; i < 12; ++i) {
        for (const std::string& word : words) {
            wordStarts.push_back(static_cast<std::uint32_t>(line.size()));
            line += word;
        }
    }
    for (const char* locale : { "th_TH.UTF-8", "C.UTF-8" }) {
        const std::vector<std::uint32_t> starts = rowStarts(layOut(line, 100.0, locale));
        EXPECT_GT(starts.size(), 3u) << locale;
        for (std::uint32_t start : starts)
            EXPECT_NE(std::find(wordStarts.begin(), wordStarts.end(), start), wordStarts.end())
                << locale << ": a row starts inside a word, at byte " << start;
    }
}

// A flag is two regional indicators: a row never ends between the two.
TEST(LineLayout, FlagsAreNeverCutInHalf)
{
    const std::string line = repeated("\U0001F1FA\U0001F1F8\U0001F1EF\U0001F1F5", 10);
    const std::vector<std::uint32_t> starts = rowStarts(layOut(line, 30.0));
    EXPECT_GT(starts.size(), 2u);
    for (std::uint32_t start : starts)
        EXPECT_EQ(start % 8, 0u) << "a row starts at the indicator at byte " << start;
}

// A right-to-left line is drawn left to right as it is placed, as other writers draw it, so that readers that
// read by position get it back in reading order. Each letter's marks are drawn before it, so that readers that
// turn the line round find each base with its marks after it; and the glyph that gives back a letter is the letter's
// own, with its width, not a mark standing a letter's width away. Each glyph gives back a character of its own: a glyph
// that gives back nothing comes back as U+FFFD or a control byte in MuPDF 1.21 and pdf.js.
TEST(LineLayout, RightToLeftLinesAreDrawnAsPlacedWithMarksBeforeTheirBase)
{
    for (const std::string line : { "\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD \u05E2\u05D5\u05B9\u05DC\u05B8\u05DD",
             "\u05D1\u05B0\u05BC\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA",
             "\u0645\u064E\u0631\u0652\u062D\u064E\u0628\u064B\u0627 \u0628\u0650\u0643\u064F\u0645\u0652" }) {
        const std::vector<LineShaper::Row> rows = layOut(line, kA4TextWidth);
        ASSERT_EQ(rows.size(), 1u);
        std::string drawn;
        double lastX = -1;
        for (const PlacedGlyph& glyph : rows[0].glyphs) {
            if (glyph.advance > 0) { // a mark may sit left of its own base
                EXPECT_GE(glyph.x, lastX) << "the glyph at byte " << glyph.textBegin << " is drawn behind the last";
                lastX = glyph.x;
            }
            drawn += line.substr(glyph.textBegin, glyph.textLength);
            EXPECT_EQ(glyph.spanLength, 0u) << "a span at byte " << glyph.spanBegin;
            if (glyph.textLength == 0) {
                ADD_FAILURE() << "a glyph gives back nothing";
                continue;
            }
            // The letters and marks of these lines take two bytes each; the points and harakat are U+05B0 to
            // U+05C7 and U+064B to U+0652.
            const auto lead = static_cast<unsigned char>(line[glyph.textBegin]);
            if (lead < 0x80)
                continue;
            const char32_t first
                = (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(line[glyph.textBegin + 1]) & 0x3Fu);
            const bool mark = (first >= 0x5B0 && first <= 0x5C7) || (first >= 0x64B && first <= 0x652);
            if (!mark) {
                EXPECT_GT(glyph.advance, 0) << "the letter at byte " << glyph.textBegin << " is given back by a mark";
            }
        }
        // Expected: the line's characters from last to first, each mark drawn before its base, so that a reader
        // turning the line round gives back each letter before its marks.
        std::string expected;
        for (std::size_t at = line.size(); at > 0;) {
            const std::size_t length = line[at - 1] == ' ' ? 1 : 2;
            at -= length;
            expected += line.substr(at, length);
        }
        EXPECT_EQ(drawn, expected);
    }
}

// Left to right, every glyph of these lines gives back text of its own, and the glyphs in the order drawn give
// back the line as written: a glyph that gives back nothing comes back as U+FFFD, a control byte or a NUL in
// MuPDF 1.21, pdf.js and Ghostscript. Thai marks over their consonant, a mark that does not compose, vowel
// signs drawn before their consonant (Devanagari, Bengali, Tamil), conjuncts and a mark set below.
TEST(LineLayout, LeftToRightClustersGiveBackTheirTextInOrderFromEveryGlyph)
{
    for (const std::string line : { "\u0E09\u0E31\u0E19\u0E01\u0E34\u0E19 \u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35",
             "\u0437\u0430\u0301\u043C\u043E\u043A \u043B\u0438\u0301\u043D\u0438\u044F",
             "\u0915\u094D\u0937\u0924\u094D\u0930\u093F\u092F \u0915\u093F \u0928\u092E\u0938\u094D\u0924\u0947 "
             "\u0926\u0941\u0928\u093F\u092F\u093E",
             "\u0986\u09AE\u09BF \u09AC\u09BE\u0982\u09B2\u09BE\u09AF\u09BC",
             "\u0BA4\u0BAE\u0BBF\u0BB4\u0BCD \u0BAA\u0BC7\u0B9A\u0BC1" }) {
        const std::vector<LineShaper::Row> rows = layOut(line, kA4TextWidth);
        ASSERT_EQ(rows.size(), 1u);
        std::string drawn;
        for (const PlacedGlyph& glyph : rows[0].glyphs) {
            EXPECT_GT(glyph.textLength, 0u) << "a glyph gives back nothing in " << line;
            drawn += line.substr(glyph.textBegin, glyph.textLength);
        }
        EXPECT_EQ(drawn, line);
    }
}

// A left-to-right line keeps its right-to-left runs in reading order, and each run of the other direction starts
// a text object of its own: MuPDF takes the "</" after a right-to-left run for right-to-left text unless a text
// object ends before it. Each right-to-left cluster is a show of its own, the space between two words as well:
// PDFium orders a line's shows by where they start and gives a show of several back reversed.
TEST(LineLayout, EachDirectionRunOfALeftToRightLineStartsATextObjectAndEachRightToLeftClusterAShow)
{
    const std::string line = "<name>\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD</name>";
    const std::vector<LineShaper::Row> rows = layOut(line, kA4TextWidth);
    ASSERT_EQ(rows.size(), 1u);
    std::string drawn;
    std::vector<std::string> runs;
    std::vector<std::string> shows;
    for (const PlacedGlyph& glyph : rows[0].glyphs) {
        const std::string text = line.substr(glyph.textBegin, glyph.textLength);
        if (glyph.startsTextObject || runs.empty())
            runs.emplace_back();
        if (glyph.startsTextObject || glyph.startsShow || shows.empty())
            shows.emplace_back();
        drawn += text;
        runs.back() += text;
        shows.back() += text;
    }
    EXPECT_EQ(drawn, line);
    EXPECT_EQ(
        runs, (std::vector<std::string> { "<name>", "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD", "</name>" }));
    EXPECT_EQ(shows,
        (std::vector<std::string> { "<name>", "\u05E9", "\u05DC", "\u05D5", "\u05DD", " ", "\u05E2", "\u05D5", "\u05DC",
            "\u05DD", "</name>" }));
}

// Readers that sort a line's text objects by where they start (PDFium) give a span's text once only while its
// glyphs come one after another: no glyph outside a span starts between the span's first and last glyph, and the
// span's text is what its glyphs' codes give back. दु draws its vowel sign right of where नि starts.
TEST(LineLayout, NothingOutsideASpanStartsAmongItsGlyphs)
{
    for (const std::string line : { "\u0928\u092E\u0938\u094D\u0924\u0947 \u0926\u0941\u0928\u093F\u092F\u093E "
                                    "\u0915\u093F\u0924\u093E\u092C",
             "\u0917\u0941\u0930\u0941 \u0926\u0941\u0928\u093F \u092A\u0942\u091C\u093E\u0926\u0941\u0903\u0916" }) {
        const std::vector<LineShaper::Row> rows = layOut(line, kA4TextWidth);
        ASSERT_EQ(rows.size(), 1u);
        const std::vector<PlacedGlyph>& glyphs = rows[0].glyphs;
        int spans = 0;
        for (std::size_t open = 0; open < glyphs.size(); ++open) {
            if (glyphs[open].spanLength == 0)
                continue;
            ++spans;
            std::size_t close = open;
            while (!glyphs[close].closesSpan && close + 1 < glyphs.size())
                ++close;
            float left = glyphs[open].x;
            float right = glyphs[open].x;
            std::string given;
            for (std::size_t g = open; g <= close; ++g) {
                left = std::min(left, glyphs[g].x);
                right = std::max(right, glyphs[g].x);
                given += line.substr(glyphs[g].textBegin, glyphs[g].textLength);
            }
            EXPECT_EQ(line.substr(glyphs[open].spanBegin, glyphs[open].spanLength), given);
            for (std::size_t g = 0; g < glyphs.size(); ++g) {
                if (g < open || g > close) {
                    EXPECT_TRUE(glyphs[g].x <= left + 0.01f || glyphs[g].x >= right - 0.01f)
                        << "the glyph at byte " << glyphs[g].textBegin << " starts inside the span at byte "
                        << glyphs[open].spanBegin << " of " << line;
                }
            }
            open = close;
        }
        EXPECT_GT(spans, 0) << line;
    }
}
