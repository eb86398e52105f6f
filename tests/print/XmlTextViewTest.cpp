#include "print/XmlTextView.h"

#include "print/Base64Folding.h"
#include "print/PrintStyle.h"
#include "print/PrintableLines.h"
#include "print/XmlPrettyPrinter.h"
#include "print/XmlTokenizer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace papyrant;

namespace {

struct Line
{
    std::string text;
    std::vector<StyleSpan> spans;
    std::uint64_t number;
};

PrintStyle styleOf(bool pretty, bool colour, std::size_t fold = 0)
{
    PrintStyle style;
    style.xmlPretty = pretty;
    style.xmlColour = colour;
    style.foldBase64 = fold;
    return style;
}

const PrintStyle kColour = styleOf(false, true);
const PrintStyle kPretty = styleOf(true, false);
const PrintStyle kPlain {};

// The printed lines of `text` fed in pieces of `step` bytes, through the view when the style asks for it.
std::vector<Line> linesOf(std::string_view text, const PrintStyle& style, std::size_t step = 1 << 20)
{
    std::vector<Line> lines;
    PrintableLines printable([&lines](const PrintLine& line) {
        lines.push_back({ std::string(line.text), { line.spans.begin(), line.spans.end() }, line.sourceLine });
    });
    XmlTextView view(style, printable);
    for (std::size_t i = 0; i < text.size(); i += step) {
        if (XmlTextView::wanted(style))
            view.add(text.substr(i, step));
        else
            printable.add(text.substr(i, step));
    }
    view.finish();
    printable.finish();
    return lines;
}

std::string joined(const std::vector<Line>& lines)
{
    std::string text;
    for (const Line& line : lines)
        text += line.text + "\n";
    return text;
}

std::string textOf(std::string_view text, const PrintStyle& style, std::size_t step = 1 << 20)
{
    return joined(linesOf(text, style, step));
}

std::string withoutSpace(std::string text)
{
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    return text;
}

// The style of `length` bytes at `offset` of a line: Text when no span touches them; Folded stands for "mixed".
TextStyle styleAt(const Line& line, std::size_t offset, std::size_t length)
{
    for (const StyleSpan& span : line.spans) {
        if (span.begin <= offset && offset + length <= span.end)
            return span.style;
        if (span.begin < offset + length && offset < span.end)
            return TextStyle::Folded;
    }
    return TextStyle::Text;
}

// The style of the first occurrence of `token` in the line (which must hold it).
TextStyle styleOfToken(const Line& line, std::string_view token)
{
    const std::size_t at = line.text.find(token);
    EXPECT_NE(at, std::string::npos) << token;
    return at == std::string::npos ? TextStyle::Folded : styleAt(line, at, token.size());
}

} // namespace

TEST(XmlTextView, ColourMarksEveryKindOfTokenWhereverThePiecesSplit)
{
    const std::string document = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"v>\">]><r a=\"1\" b='2'>t &amp; "
                                 "&#65;<!-- c > --><![CDATA[<x>]]><?pi d?><e/></r>";
    for (std::size_t step : { std::size_t { 1 }, std::size_t { 3 }, document.size() }) {
        const std::vector<Line> lines = linesOf(document, kColour, step);
        ASSERT_EQ(lines.size(), 1u) << step;
        const Line& line = lines[0];
        EXPECT_EQ(line.text, document);
        EXPECT_EQ(styleOfToken(line, "<?xml version=\"1.0\"?>"), TextStyle::ProcessingInstruction) << step;
        EXPECT_EQ(styleOfToken(line, "<!DOCTYPE r [<!ENTITY e \"v>\">]>"), TextStyle::Declaration) << step;
        EXPECT_EQ(styleOfToken(line, "<r"), TextStyle::Markup) << step;
        EXPECT_EQ(styleAt(line, line.text.find(" a=") + 1, 1), TextStyle::AttributeName) << step;
        EXPECT_EQ(styleAt(line, line.text.find(" a=") + 2, 1), TextStyle::Markup) << step;
        EXPECT_EQ(styleOfToken(line, "\"1\""), TextStyle::AttributeValue) << step;
        EXPECT_EQ(styleOfToken(line, "'2'"), TextStyle::AttributeValue) << step;
        EXPECT_EQ(styleOfToken(line, "t "), TextStyle::Text) << step;
        EXPECT_EQ(styleOfToken(line, "&amp;"), TextStyle::EntityReference) << step;
        EXPECT_EQ(styleOfToken(line, "&#65;"), TextStyle::EntityReference) << step;
        EXPECT_EQ(styleOfToken(line, "<!-- c > -->"), TextStyle::Comment) << step;
        EXPECT_EQ(styleOfToken(line, "<![CDATA[<x>]]>"), TextStyle::CData) << step;
        EXPECT_EQ(styleOfToken(line, "<?pi d?>"), TextStyle::ProcessingInstruction) << step;
        EXPECT_EQ(styleOfToken(line, "<e/>"), TextStyle::Markup) << step;
        EXPECT_EQ(styleOfToken(line, "</r>"), TextStyle::Markup) << step;
    }
    // Without colour the lines carry no spans.
    EXPECT_TRUE(linesOf(document, kPretty)[0].spans.empty());
}

TEST(XmlTextView, MalformedInputComesOutWholeAndColouredWhereItCanBeFollowed)
{
    struct Case
    {
        std::string input;
        std::string tokenAfter; // markup after the fault, still recognised
    };
    const std::vector<Case> cases {
        { "<a b=\"never closed", "" },
        { "if a < b && c <d>e</d>", "<d" },
        { "<a <b>x</b>", "<b" },
        { "<a href=\"x>t</a><c/>", "<c" },
        { "<<<>>>&&;;</><x>", "<x" },
        { "<!-- no end <y>", "" },
        { "<![CDATA[ no end", "" },
        { "<?pi no end", "" },
        { "<a =\"v\" %% b c='d'></a><z>", "<z" },
        { "</>< /><!><! x><z>", "<z" },
        { std::string("<a>\0\x01\x7F\xC3\xA9<b>\x1B[0m</b>", 20), "<b" },
    };
    for (const Case& c : cases) {
        const std::string plain = textOf(c.input, kPlain);
        for (std::size_t step : { std::size_t { 1 }, std::size_t { 2 }, c.input.size() }) {
            const std::vector<Line> lines = linesOf(c.input, kColour, step);
            EXPECT_EQ(joined(lines), plain) << c.input << " in pieces of " << step;
            if (!c.tokenAfter.empty()) {
                EXPECT_EQ(styleOfToken(lines.back(), c.tokenAfter), TextStyle::Markup) << c.input;
            }
            // Pretty-printing changes white space only, whatever the input.
            EXPECT_EQ(withoutSpace(textOf(c.input, kPretty, step)), withoutSpace(plain)) << c.input;
        }
    }
}

TEST(XmlTextView, AnyMarkupSoupComesOutWholeInAnyPieces)
{
    // Random mixtures of the characters and strings markup is made of: colour changes no byte, pretty-printing
    // changes only white space, and neither depends on where the pieces split.
    const std::vector<std::string> parts { "<", ">", "/", "=", "\"", "'", "&", ";", "<!--", "-->", "<![CDATA[", "]]>",
        "?", "<?", "?>", "[", "]", "a", "bc", " ", "\n", "\r\n", "\t", "\xC3\xA9", "\x01", "<a>", "</a>", "<b x='1'>",
        "</b>", "<c/>", "&amp;", "!" };
    std::mt19937 random(24);
    for (int round = 0; round < 300; ++round) {
        std::string input;
        const std::size_t count = random() % 60;
        for (std::size_t i = 0; i < count; ++i)
            input += parts[random() % parts.size()];
        const std::string plain = textOf(input, kPlain);
        const std::string pretty = textOf(input, kPretty);
        EXPECT_EQ(withoutSpace(pretty), withoutSpace(plain)) << input;
        for (std::size_t step : { 1, 5 }) {
            EXPECT_EQ(textOf(input, kColour, step), plain) << input;
            EXPECT_EQ(textOf(input, kPretty, step), pretty) << input;
        }
    }
}

TEST(XmlTextView, TokensOfAnyLengthComeOutInBoundedPiecesAsTheyStreamIn)
{
    class Collect : public XmlPieceSink
    {
    public:
        void piece(const XmlPiece& piece) override
        {
            text += piece.text;
            largest = std::max(largest, piece.text.size());
        }
        void end() override { }
        std::string text;
        std::size_t largest = 0;
    };
    const std::string big(1 << 20, 'q');
    for (const std::string& input : { "<!--" + big + "-->", "<a v=\"" + big + "\"/>", "<a>" + big + "</a>",
             "<![CDATA[" + big + "]]>", "<!DOCTYPE [" + big + "]>", "<?pi " + big + "?>", "<" + big + ">",
             "<a" + std::string(1 << 20, ' ') + "/>", "&" + big }) {
        Collect collect;
        XmlTokenizer tokenizer(collect);
        for (std::size_t i = 0; i < input.size(); i += 65536)
            tokenizer.add(std::string_view(input).substr(i, 65536));
        // Held back before the end: at most the start of one piece.
        EXPECT_GE(collect.text.size() + 2 * XmlTokenizer::kMaxPiece, input.size()) << input.substr(0, 12);
        tokenizer.finish();
        EXPECT_EQ(collect.text, input) << input.substr(0, 12);
        EXPECT_LE(collect.largest, XmlTokenizer::kMaxPiece + 3) << input.substr(0, 12);
    }
}

TEST(XmlTextView, PrettyIndentsElementsThatRunTogetherAndKeepsMixedContent)
{
    const std::string input = "<?xml version=\"1.0\"?>\n\n<!-- head --><r><a x=\"1\"\n   y='2'><b/><c>text</c></a>"
                              "<p>Mixed <i>text</i> <b>kept</b>\n  as it stands</p>\n\n<w>  </w><e></e>"
                              "<n><![CDATA[x]]>  <m/></n><q>&amp;<m/></q><!-- tail --></r>\n";
    const std::string expected = "<?xml version=\"1.0\"?>\n"
                                 "<!-- head -->\n"
                                 "<r>\n"
                                 "  <a x=\"1\"\n"
                                 "   y='2'>\n"
                                 "    <b/>\n"
                                 "    <c>text</c>\n"
                                 "  </a>\n"
                                 "  <p>Mixed <i>text</i> <b>kept</b>\n"
                                 "  as it stands</p>\n"
                                 "  <w>  </w>\n"
                                 "  <e></e>\n"
                                 "  <n><![CDATA[x]]>  <m/></n>\n"
                                 "  <q>&amp;<m/></q>\n"
                                 "  <!-- tail -->\n"
                                 "</r>\n";
    for (std::size_t step : { std::size_t { 1 }, std::size_t { 7 }, input.size() })
        EXPECT_EQ(textOf(input, kPretty, step), expected) << step;

    // Each line shows the source line where it begins.
    std::vector<std::uint64_t> numbers;
    for (const Line& line : linesOf(input, kPretty))
        numbers.push_back(line.number);
    EXPECT_EQ(numbers, (std::vector<std::uint64_t> { 1, 3, 3, 3, 4, 4, 4, 4, 4, 5, 7, 7, 7, 7, 7, 7 }));
}

TEST(XmlTextView, PrettyLinesCarryTheirSourceLineWhereverTheBreaksBeforeThemSit)
{
    // The breaks in a long comment, counted here one byte at a time, CR LF as one; the view counts them several
    // bytes at a time, and a CR LF may straddle what it takes together.
    const auto breaksIn = [](std::string_view text) {
        std::uint64_t breaks = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n')
                ++breaks;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        return breaks;
    };
    for (std::size_t gap = 0; gap < 20; ++gap) {
        const std::string comment = "<!--" + std::string(gap, 'x') + "\r\n" + std::string(gap % 9, 'y') + "\r"
            + std::string(gap % 5, 'z') + "\n\n" + std::string(gap, '-') + "\r-->";
        const std::string input = "<r>" + comment + "<a/></r>";
        for (const std::size_t step : { std::size_t { 1 }, std::size_t { 5 }, input.size() }) {
            const std::vector<Line> lines = linesOf(input, kPretty, step);
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[lines.size() - 2].text, "  <a/>") << gap << " " << step;
            EXPECT_EQ(lines[lines.size() - 2].number, 1 + breaksIn(comment)) << gap << " " << step;
        }
    }
}

TEST(XmlTextView, PrettyJudgesAnElementOnlyWithinItsLookAhead)
{
    std::string children;
    while (children.size() < XmlPrettyPrinter::kLookAhead + 100)
        children += "<c/>";
    // Text past the look-ahead comes too late: the element is indented.
    EXPECT_EQ(textOf("<r><a/>" + children + "late</r>", kPretty).substr(0, 13), "<r>\n  <a/>\n  ");
    // Text within it keeps the element as it stands.
    const std::string near = children.substr(0, XmlPrettyPrinter::kLookAhead - 1000);
    EXPECT_EQ(textOf("<r><a/>" + near + "near</r>", kPretty).substr(0, 10), "<r><a/><c/");
}

TEST(XmlTextView, PrettyPrintsTheRestAsItStandsFromWhereTheMarkupIsLost)
{
    // A stray "<", an end tag that closes nothing open, text outside the root.
    for (const std::string& lost : { std::string("< c <d/>\n <e/>"), std::string("</x><d/>\n <e/>") }) {
        const std::string input = "<r><a><b/></a>" + lost + "</r>";
        const std::string text = textOf(input, kPretty);
        EXPECT_EQ(text, "<r>\n  <a>\n    <b/>\n  </a>" + lost + "</r>\n") << lost;
        // White space just before the point is kept too.
        EXPECT_EQ(textOf("<r><a/>\n   " + lost + "</r>", kPretty), "<r>\n  <a/>\n   " + lost + "</r>\n") << lost;
    }
    EXPECT_EQ(textOf("junk <a/>\n <b/>", kPretty), "junk <a/>\n <b/>\n");
    // Nesting deeper than the printer follows: it goes on as it stands, and ends.
    std::string deep;
    for (std::size_t i = 0; i < XmlPrettyPrinter::kMaxDepth + 50; ++i)
        deep += "<d>";
    const std::vector<Line> lines = linesOf(deep, kPretty);
    EXPECT_EQ(lines.size(), XmlPrettyPrinter::kMaxDepth + 1);
    EXPECT_EQ(withoutSpace(joined(lines)), deep);
}

TEST(XmlTextView, LongBase64RunsShowTheirEndsAndHowManyCharactersWereLeftOut)
{
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto run = [&alphabet](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(alphabet[(i * 7) % alphabet.size()]);
        return text;
    };
    const PrintStyle fold = styleOf(false, false, 300);
    // Up to the threshold the run stays; one more character and it folds.
    const std::string short300 = run(300);
    EXPECT_EQ(textOf("<d>" + short300 + "</d>", fold), "<d>" + short300 + "</d>\n");
    const std::string long301 = run(301);
    EXPECT_EQ(textOf("<d>" + long301 + "</d>", fold),
        "<d>" + long301.substr(0, 64) + "\n[\u2026 173 characters of base64 \u2026]\n" + long301.substr(237)
            + "</d>\n");

    // Wrapped at 76 with CR LF and indented, in CDATA: the breaks do not count, the ends show as they stand.
    const std::string body = run(1234567 + 128 - 2) + "==";
    std::string wrapped;
    for (std::size_t i = 0; i < body.size(); i += 76)
        wrapped += "\r\n    " + body.substr(i, 76);
    const std::string input = "<a>\n<d><![CDATA[" + wrapped + "\r\n]]></d><e k=\"" + body + "\">x " + body + "</e></a>";
    for (std::size_t step : { std::size_t { 4093 }, input.size() }) {
        const std::vector<Line> lines = linesOf(input, styleOf(false, false, 1000), step);
        const std::string text = joined(lines);
        const std::string note = "[\u2026 1,234,567 characters of base64 \u2026]";
        ASSERT_NE(text.find(note), std::string::npos);
        // CDATA: the first line of the run starts with its first 64 characters; the last 64 stand on a line of
        // their own (they are all on the run's last line).
        ASSERT_GE(body.size() % 76, 64u);
        EXPECT_NE(text.find("<![CDATA[\n    " + body.substr(0, 64) + "\n" + note + "\n" + body.substr(body.size() - 64)
                      + "\n]]>"),
            std::string::npos)
            << step;
        // The attribute is no element text (two notes, not three); the text after it folds.
        EXPECT_NE(text.find("\">x " + body.substr(0, 64) + "\n" + note + "\n" + body.substr(body.size() - 64) + "</e>"),
            std::string::npos);
        // The notes are styled as notes, colour or not, and carry the source line they stand for.
        std::size_t notes = 0;
        for (const Line& line : lines) {
            if (line.text == note) {
                ++notes;
                EXPECT_EQ(styleAt(line, 0, note.size()), TextStyle::Folded);
            }
        }
        EXPECT_EQ(notes, 2u);
        ASSERT_EQ(lines[3].text, note);
        EXPECT_EQ(lines[3].number, 3u); // where the characters left out begin
        EXPECT_EQ(lines[4].number, 2 + (body.size() + 75) / 76); // the line of the last 64 characters
    }
}
