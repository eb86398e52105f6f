#include "print/AtomicFile.h"
#include "print/ByteSource.h"
#include "print/FileRender.h"
#include "print/FontSet.h"
#include "print/PageLayout.h"
#include "print/PdfDocument.h"
#include "print/StylePalette.h"
#include "print/TextPrinter.h"
#include "tests/support/PdfChecks.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// DejaVu Sans Mono's metrics, from its hhea and hmtx tables, per point of font size.
constexpr double kAdvance = 1233.0 / 2048;
constexpr double kAscent = 1901.0 / 2048;
constexpr double kRowHeight = (1901.0 + 483.0) / 2048;
constexpr double kSide = 90;
constexpr double kTop = 72;
constexpr double kA4Width = 595.2756;
constexpr double kA4Height = 841.8898;

// A page as pdftoppm renders it in colour (PPM "P6").
struct ColourImage
{
    int width = 0;
    int height = 0;
    std::string pixels;
    double scale = 1; // pixels per point

    Colour at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
        return { static_cast<std::uint8_t>(pixels[i]), static_cast<std::uint8_t>(pixels[i + 1]),
            static_cast<std::uint8_t>(pixels[i + 2]) };
    }
    // The darkest pixel of a box given in points from the page's top left; white when the box is empty.
    Colour darkest(double left, double top, double right, double bottom) const
    {
        Colour best { 255, 255, 255 };
        for (int y = std::max(0, int(top * scale)); y < std::min(height, int(bottom * scale)); ++y) {
            for (int x = std::max(0, int(left * scale)); x < std::min(width, int(right * scale)); ++x) {
                const Colour c = at(x, y);
                if (c.red + c.green + c.blue < best.red + best.green + best.blue)
                    best = c;
            }
        }
        return best;
    }
    bool inked(double left, double top, double right, double bottom) const
    {
        const Colour c = darkest(left, top, right, bottom);
        return c.red + c.green + c.blue < 3 * 160;
    }
};

ColourImage renderPage(const fs::path& pdf, int page, int dpi, const fs::path& scratch)
{
    std::string output;
    const fs::path stem = scratch / ("page" + std::to_string(page));
    if (runProgram({ "pdftoppm", "-r", std::to_string(dpi), "-f", std::to_string(page), "-l", std::to_string(page),
                       "-singlefile", pdf.string(), stem.string() },
            output, scratch)
        != 0) {
        ADD_FAILURE() << output;
        return {};
    }
    const std::string bytes = readFile(stem.string() + ".ppm");
    ColourImage image;
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    in >> magic >> image.width >> image.height >> maximum;
    in.get();
    image.pixels = bytes.substr(static_cast<std::size_t>(in.tellg()));
    image.scale = dpi / 72.0;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 3);
    return image;
}

std::string pageText(const fs::path& pdf, int page, const fs::path& scratch)
{
    std::string output;
    EXPECT_EQ(runProgram({ "pdftotext", "-enc", "UTF-8", "-f", std::to_string(page), "-l", std::to_string(page),
                             pdf.string(), (scratch / "page.txt").string() },
                  output, scratch),
        0)
        << output;
    return readFile(scratch / "page.txt");
}

int pageCount(const fs::path& pdf, const fs::path& scratch)
{
    std::string info;
    runProgram({ "pdfinfo", pdf.string() }, info, scratch);
    std::smatch match;
    return std::regex_search(info, match, std::regex("Pages: +([0-9]+)")) ? std::stoi(match[1]) : 0;
}

// Lays lines out as one file's pages of a new document at `pdf`.
void printLines(const fs::path& pdf, const PrintJob& job, const std::vector<PrintLine>& lines)
{
    FontSet fonts("C.UTF-8");
    ASSERT_TRUE(fonts.valid()) << fonts.problem();
    AtomicFile file(pdf.string());
    ASSERT_TRUE(file.open());
    PdfDocument document(file, pagePaper(job), job.title, "test", fonts, job.style.fontSize);
    {
        PageLayout layout(document, fonts, job);
        for (const PrintLine& line : lines)
            layout.addLine(line);
        layout.finish();
    }
    std::string problem;
    ASSERT_TRUE(document.finish(problem)) << problem;
    ASSERT_TRUE(file.commit());
}

void printSource(const fs::path& pdf, const PrintJob& job, const std::string& text)
{
    MemoryByteSource source(text);
    AtomicFile file(pdf.string());
    ASSERT_TRUE(file.open());
    const PrintOutcome outcome = printText(source, file, job);
    ASSERT_EQ(outcome.problem, "");
    ASSERT_TRUE(file.commit());
}

std::string numberedLines(int count, const std::string& prefix = "line")
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += prefix + std::to_string(i) + "\n";
    return text;
}

int channelDistance(Colour a, Colour b)
{
    return std::max({ std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue) });
}

} // namespace

// Every style's ink is dark enough to read in grey, plain text is black, and no two styles share an ink.
TEST(StylePalette, InksStayReadableInGreyAndTellStylesApart)
{
    std::vector<Colour> seen;
    for (int s = 0; s <= static_cast<int>(TextStyle::Folded); ++s) {
        const Colour c = colourOf(static_cast<TextStyle>(s));
        const double luma = 0.2126 * c.red / 255 + 0.7152 * c.green / 255 + 0.0722 * c.blue / 255;
        EXPECT_LE(luma, 0.55) << "style " << s;
        for (const Colour& other : seen)
            EXPECT_GT(channelDistance(c, other), 40) << "style " << s << " is too like another";
        seen.push_back(c);
    }
    EXPECT_EQ(colourOf(TextStyle::Text), kBlack);
}

// The tokens of styled lines are inked in their style's colour, on the fast path and the shaped one, across
// a wrap; a plain line after a coloured one is black again.
TEST(PageFurniture, StyledTokensAreInkedInTheirColours)
{
    TempDir dir;
    const std::string tag = "<a b=\"c\">x</a> &amp; <!-- d -->";
    const std::vector<StyleSpan> tagSpans = { { 0, 2, TextStyle::Markup }, { 3, 4, TextStyle::AttributeName },
        { 4, 5, TextStyle::Markup }, { 5, 8, TextStyle::AttributeValue }, { 8, 9, TextStyle::Markup },
        { 10, 14, TextStyle::Markup }, { 15, 20, TextStyle::EntityReference }, { 21, 31, TextStyle::Comment } };
    const std::string shaped = "<q>\u4E2D</q>";
    const std::vector<StyleSpan> shapedSpans = { { 0, 3, TextStyle::Markup }, { 6, 10, TextStyle::Markup } };
    const std::string plain = "plain";
    const std::string comment = "<!--" + std::string(100, 'c') + "-->";
    const std::vector<StyleSpan> commentSpans = { { 0, std::uint32_t(comment.size()), TextStyle::Comment } };
    PrintJob job;
    job.paper = kPaperA4;
    printLines(dir.path() / "colour.pdf", job,
        { { tag, tagSpans, 1 }, { shaped, shapedSpans, 2 }, { plain, {}, 3 }, { comment, commentSpans, 4 } });
    const ColourImage page = renderPage(dir.path() / "colour.pdf", 1, 300, dir.path());
    ASSERT_GT(page.width, 0);

    const double advance = 10 * kAdvance;
    const double row = 10 * kRowHeight;
    auto cell = [&](int column, int rowIndex) {
        const double left = kSide + column * advance;
        const double top = kTop + rowIndex * row;
        return page.darkest(left, top, left + advance, top + row);
    };
    struct Expected
    {
        int column;
        int row;
        Colour colour;
    };
    const std::vector<Expected> expected = {
        { 1, 0, colourOf(TextStyle::Markup) }, // a
        { 3, 0, colourOf(TextStyle::AttributeName) }, // b
        { 6, 0, colourOf(TextStyle::AttributeValue) }, // c
        { 9, 0, kBlack }, // x
        { 12, 0, colourOf(TextStyle::Markup) }, // a
        { 16, 0, colourOf(TextStyle::EntityReference) }, // a of amp
        { 26, 0, colourOf(TextStyle::Comment) }, // d
        { 1, 1, colourOf(TextStyle::Markup) }, // q, shaped
        { 0, 2, kBlack }, // p
        { 4, 2, kBlack }, // n
        { 10, 3, colourOf(TextStyle::Comment) }, { 10, 4, colourOf(TextStyle::Comment) }, // after the wrap
    };
    for (const Expected& e : expected) {
        const Colour got = cell(e.column, e.row);
        EXPECT_LE(channelDistance(got, e.colour), 40)
            << "column " << e.column << " row " << e.row << ": got " << int(got.red) << "," << int(got.green) << ","
            << int(got.blue) << " expected " << int(e.colour.red) << "," << int(e.colour.green) << ","
            << int(e.colour.blue);
    }
}

namespace {

// Ten source lines, the second long enough to take three rows, printed with a header and line numbers.
struct FurnishedPrintOut
{
    TempDir dir;
    fs::path pdf = dir.path() / "furnished.pdf";
    PrintJob job;
    static constexpr int kGutterDigits = 4; // a source of 5,000 bytes may have up to 5,001 lines

    FurnishedPrintOut()
    {
        job.paper = kPaperA4;
        job.title = "notes.xml";
        job.modified = "2026-12-09 01:02";
        job.sourceSize = 5000;
        job.style.header = true;
        job.style.lineNumbers = true;
        std::string text = "first\n" + std::string(150, 'w') + "\n" + numberedLines(68, "row");
        printSource(pdf, job, text);
    }
    double bodyLeft() const
    {
        return kSide + (kGutterDigits + 1) * 10 * kAdvance;
    }
};

// One content stream's text-showing operators, with where they draw and whether inside /Artifact marked content.
struct Shown
{
    double x;
    double y;
    bool artifact;
    std::string op;
};

// Reads the operators of a content stream: a number or name or string is an operand, anything else an operator.
// Every glyph is taken as one of the 10-point monospaced face's, two bytes a code, so that a show that follows
// another without a move is placed where the first one ended.
std::vector<Shown> shownIn(const std::string& content)
{
    std::vector<Shown> shown;
    std::vector<std::string> operands;
    std::vector<bool> marks; // per open marked-content sequence: whether it is an artifact or inside one
    double x = 0; // the start of the text line
    double y = 0;
    double pen = 0; // where the next glyph goes on the line
    std::size_t stringBytes = 0; // of the strings among the operands
    double leading = 0;
    std::size_t i = 0;
    auto inArtifact = [&] { return std::find(marks.begin(), marks.end(), true) != marks.end(); };
    while (i < content.size()) {
        const char c = content[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == '[' || c == ']') {
            ++i;
        } else if (c == '(') {
            int depth = 0;
            for (; i < content.size(); ++i) {
                if (content[i] == '\\') {
                    // An escape is one byte: a character, or up to three octal digits.
                    ++i;
                    for (int digits = 1; digits < 3 && i + 1 < content.size() && content[i] >= '0' && content[i] <= '7'
                         && content[i + 1] >= '0' && content[i + 1] <= '7';
                         ++digits)
                        ++i;
                    ++stringBytes;
                } else if (content[i] == '(') {
                    if (depth++ > 0)
                        ++stringBytes;
                } else if (content[i] == ')' && --depth == 0) {
                    break;
                } else {
                    ++stringBytes;
                }
            }
            ++i;
            operands.push_back("(string)");
        } else if (c == '<' && i + 1 < content.size() && content[i + 1] == '<') {
            // A dictionary operand (a span's /ActualText): skip to its end, strings included.
            int depth = 0;
            for (; i < content.size(); ++i) {
                if (content.compare(i, 2, "<<") == 0) {
                    ++depth;
                    ++i;
                } else if (content.compare(i, 2, ">>") == 0) {
                    ++i;
                    if (--depth == 0)
                        break;
                }
            }
            ++i;
            operands.push_back("<<dict>>");
        } else if (c == '<') {
            const std::size_t end = content.find('>', i);
            stringBytes += static_cast<std::size_t>(
                std::count_if(content.begin() + static_cast<std::ptrdiff_t>(i),
                    content.begin() + static_cast<std::ptrdiff_t>(end),
                    [](char digit) { return std::isxdigit(static_cast<unsigned char>(digit)) != 0; })
                / 2);
            i = end + 1;
            operands.push_back("<hex>");
        } else {
            const std::size_t end = content.find_first_of(" \t\r\n[]()<>/", i + 1);
            const std::string token = content.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? content.size() : end;
            const bool operand = c == '/' || c == '-' || c == '.' || std::isdigit(static_cast<unsigned char>(c));
            if (operand) {
                operands.push_back(token);
                continue;
            }
            if (token == "Tm" && operands.size() >= 6) {
                x = std::stod(operands[operands.size() - 2]);
                y = std::stod(operands[operands.size() - 1]);
                pen = x;
            } else if ((token == "Td" || token == "TD") && operands.size() >= 2) {
                x += std::stod(operands[operands.size() - 2]);
                y += std::stod(operands[operands.size() - 1]);
                pen = x;
                if (token == "TD")
                    leading = -std::stod(operands[operands.size() - 1]);
            } else if (token == "TL" && !operands.empty()) {
                leading = std::stod(operands.back());
            } else if (token == "T*") {
                y -= leading;
                pen = x;
            } else if (token == "BT") {
                x = 0;
                y = 0;
                pen = 0;
            } else if (token == "'" || token == "\"") {
                y -= leading;
                shown.push_back({ x, y, inArtifact(), token });
                pen = x + static_cast<double>(stringBytes / 2) * 10 * kAdvance;
            } else if (token == "BMC" || token == "BDC") {
                marks.push_back(!operands.empty() && operands.front() == "/Artifact");
            } else if (token == "EMC") {
                if (!marks.empty())
                    marks.pop_back();
            } else if (token == "Tj" || token == "TJ" || token == "Do") {
                shown.push_back({ pen, y, inArtifact(), token });
                pen += static_cast<double>(stringBytes / 2) * 10 * kAdvance;
                // A number in a TJ array moves the pen back by thousandths of the type size.
                for (const std::string& each : operands) {
                    if (token == "TJ" && each != "(string)" && each != "<hex>")
                        pen -= std::stod(each) / 1000 * 10;
                }
            }
            stringBytes = 0;
            operands.clear();
        }
    }
    return shown;
}

} // namespace

// The header sits in the top margin (name at the left, time in the middle, "Page N of M" at the right), the
// numbers in a gutter left of the text, right-aligned, with none on the rows a long line wraps onto.
TEST(PageFurniture, HeaderAndGutterSitInTheirPlaces)
{
    FurnishedPrintOut out;
    ASSERT_EQ(pageCount(out.pdf, out.dir.path()), 2);
    for (const std::string& complaint : pdfComplaints(out.pdf, out.dir.path()))
        ADD_FAILURE() << complaint;
    const ColourImage page = renderPage(out.pdf, 1, 150, out.dir.path());
    ASSERT_GT(page.width, 0);
    const double advance = 10 * kAdvance;
    const double row = 10 * kRowHeight;
    const double right = kA4Width - kSide;
    const double headerTop = kTop - 2 * row;
    auto headerInked
        = [&](double left, double rightEdge) { return page.inked(left, headerTop, rightEdge, headerTop + row); };
    EXPECT_TRUE(headerInked(kSide, kSide + advance)) << "the name's first letter";
    EXPECT_TRUE(headerInked(kSide + 8 * advance, kSide + 9 * advance)) << "the name's last letter";
    EXPECT_FALSE(headerInked(kSide + 9.2 * advance, kA4Width / 2 - 8 * advance)) << "between name and time";
    EXPECT_TRUE(headerInked(kA4Width / 2 - 8 * advance, kA4Width / 2 - 7 * advance)) << "the time's first digit";
    EXPECT_TRUE(headerInked(kA4Width / 2 + 7 * advance, kA4Width / 2 + 8 * advance)) << "the time's last digit";
    EXPECT_TRUE(headerInked(right - advance, right)) << "the page count's last digit";
    EXPECT_FALSE(headerInked(right + 1, kA4Width)) << "past the right margin";
    EXPECT_FALSE(page.inked(0, 0, kA4Width, headerTop - 1)) << "above the header";

    const double gutterRight = kSide + FurnishedPrintOut::kGutterDigits * advance;
    auto gutterInked = [&](int rowIndex, double left, double rightEdge) {
        return page.inked(left, kTop + rowIndex * row, rightEdge, kTop + (rowIndex + 1) * row);
    };
    // Rows: 0 "first" (line 1), 1-3 the long line (line 2), 4 on "row1" (line 3); "row8" is line 10, on row 11.
    EXPECT_TRUE(gutterInked(0, gutterRight - advance, gutterRight)) << "1 in the gutter's last column";
    EXPECT_FALSE(gutterInked(0, 0, gutterRight - advance)) << "1 takes one column";
    EXPECT_TRUE(gutterInked(1, gutterRight - advance, gutterRight)) << "2 on the long line's first row";
    EXPECT_FALSE(gutterInked(2, 0, out.bodyLeft())) << "a wrapped row has no number";
    EXPECT_FALSE(gutterInked(3, 0, out.bodyLeft())) << "a wrapped row has no number";
    EXPECT_TRUE(gutterInked(4, gutterRight - advance, gutterRight)) << "3";
    EXPECT_TRUE(gutterInked(11, gutterRight - 2 * advance, gutterRight - advance)) << "the 1 of 10";
    EXPECT_FALSE(gutterInked(11, 0, gutterRight - 2 * advance)) << "10 is right-aligned";
    for (int r = 0; r < 12; ++r)
        EXPECT_FALSE(gutterInked(r, gutterRight + 0.5, out.bodyLeft() - 0.5)) << "the blank column, row " << r;
    EXPECT_TRUE(gutterInked(0, out.bodyLeft(), out.bodyLeft() + advance)) << "the text starts after the gutter";
    const double rowEnd = out.bodyLeft() + std::floor((right - out.bodyLeft()) / advance) * advance;
    EXPECT_TRUE(gutterInked(1, rowEnd - advance, rowEnd)) << "a wrapped row fills the narrower width";
    EXPECT_FALSE(gutterInked(1, rowEnd + 0.5, kA4Width)) << "and no more";

    const std::string first = pageText(out.pdf, 1, out.dir.path());
    for (const char* expected : { "notes.xml", "2026-12-09 01:02", "Page 1 of 2" })
        EXPECT_NE(first.find(expected), std::string::npos) << expected << " in " << first;
    EXPECT_NE(pageText(out.pdf, 2, out.dir.path()).find("Page 2 of 2"), std::string::npos);
}

// Each page's numbers stand beside its own rows: on both pages, read with the layout kept, every "rowK" line
// (source line K + 2) begins with K + 2, and every source line's number shows once.
TEST(PageFurniture, EachPageNumbersItsOwnRows)
{
    FurnishedPrintOut out;
    std::vector<int> numbers;
    for (int page = 1; page <= 2; ++page) {
        std::string text;
        ASSERT_EQ(runProgram({ "pdftotext", "-q", "-layout", "-enc", "UTF-8", "-f", std::to_string(page), "-l",
                                 std::to_string(page), out.pdf.string(), "-" },
                      text, out.dir.path()),
            0);
        std::istringstream lines(text);
        std::smatch match;
        for (std::string line; std::getline(lines, line);) {
            if (!std::regex_search(line, match, std::regex("^ *([0-9]+) +(first|w+|row([0-9]+))$")))
                continue;
            const int number = std::stoi(match[1]);
            if (match[3].matched) {
                EXPECT_EQ(number, std::stoi(match[3]) + 2) << line << " on page " << page;
            }
            numbers.push_back(number);
        }
    }
    std::vector<int> expected(70);
    for (int i = 0; i < 70; ++i)
        expected[static_cast<std::size_t>(i)] = i + 1;
    EXPECT_EQ(numbers, expected);
}

// In the content streams, whatever is drawn in the header or the gutter is inside /Artifact marked content,
// "Page N of M" included, and the text itself never is.
TEST(PageFurniture, HeaderAndGutterAreArtifactsAndTheTextIsNot)
{
    FurnishedPrintOut out;
    const fs::path qdf = out.dir.path() / "qdf.pdf";
    std::string output;
    ASSERT_EQ(runProgram({ "qpdf", "--qdf", "--object-streams=disable", out.pdf.string(), qdf.string() }, output,
                  out.dir.path()),
        0)
        << output;
    const std::string file = readFile(qdf);
    int pages = 0;
    int bodyShows = 0;
    int furnitureShows = 0;
    int forms = 0;
    for (std::size_t at = file.find("%% Contents for page"); at != std::string::npos;
         at = file.find("%% Contents for page", at + 1)) {
        const std::size_t begin = file.find("stream\n", at) + 7;
        const std::string content = file.substr(begin, file.find("\nendstream", begin) - begin);
        ++pages;
        for (const Shown& s : shownIn(content)) {
            if (s.op == "Do") {
                EXPECT_TRUE(s.artifact) << "a form outside an artifact on page " << pages;
                ++forms;
                continue;
            }
            const double fromTop = kA4Height - s.y;
            const bool furniture = fromTop < kTop || s.x < out.bodyLeft() - 0.01;
            EXPECT_EQ(s.artifact, furniture) << s.op << " at " << s.x << "," << fromTop << " on page " << pages;
            (furniture ? furnitureShows : bodyShows) += 1;
            if (fromTop > kTop) {
                // On its row's baseline, however many rows were moved down from the one before.
                const double rows = (fromTop - kTop - 10 * kAscent) / (10 * kRowHeight);
                EXPECT_NEAR(rows, std::round(rows), 0.01 / (10 * kRowHeight))
                    << "at " << fromTop << " on page " << pages;
            }
        }
    }
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(forms, 2);
    EXPECT_GE(bodyShows, 70);
    EXPECT_GE(furnitureShows, 2 * 2 + 69);
}

// The style's paper takes the place of the job's, landscape turns the sheet, and the font size sets how many
// rows a page holds and how many characters a row; without a style the page is today's.
TEST(PageFurniture, PaperOrientationAndFontSizeSetThePageAndItsRows)
{
    TempDir dir;
    struct Case
    {
        const char* name;
        PaperSize jobPaper;
        std::optional<PaperSize> stylePaper;
        bool landscape;
        double fontSize;
        double width;
        double height;
    };
    const std::vector<Case> cases = {
        { "default", kPaperA4, std::nullopt, false, 10, 595.2756, 841.8898 },
        { "letter by locale", kPaperLetter, std::nullopt, false, 10, 612, 792 },
        { "style over locale", kPaperA4, kPaperLetter, false, 10, 612, 792 },
        { "landscape", kPaperA4, std::nullopt, true, 10, 841.8898, 595.2756 },
        { "small", kPaperLetter, kPaperA4, true, 6, 841.8898, 595.2756 },
        { "large", kPaperA4, std::nullopt, false, 24, 595.2756, 841.8898 },
    };
    const std::string text = std::string(300, 'x') + "\n" + numberedLines(200);
    for (const Case& c : cases) {
        PrintJob job;
        job.paper = c.jobPaper;
        job.style.paper = c.stylePaper;
        job.style.landscape = c.landscape;
        job.style.fontSize = c.fontSize;
        const fs::path pdf = dir.path() / (std::string(c.name) + ".pdf");
        printSource(pdf, job, text);
        std::string info;
        ASSERT_EQ(runProgram({ "pdfinfo", pdf.string() }, info, dir.path()), 0) << info;
        std::smatch size;
        ASSERT_TRUE(std::regex_search(info, size, std::regex("Page size: +([0-9.]+) x ([0-9.]+) pts"))) << info;
        EXPECT_NEAR(std::stod(size[1]), c.width, 0.01) << c.name;
        EXPECT_NEAR(std::stod(size[2]), c.height, 0.01) << c.name;

        const int rows = static_cast<int>((c.height - 2 * kTop) / (c.fontSize * kRowHeight));
        const std::size_t perRow = static_cast<std::size_t>((c.width - 2 * kSide) / (c.fontSize * kAdvance));
        std::istringstream page(pageText(pdf, 1, dir.path()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(page, line);) {
            if (!line.empty() && line != "\f")
                lines.push_back(line);
        }
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(rows)) << c.name;
        EXPECT_EQ(lines.front(), std::string(perRow, 'x')) << c.name;
    }
}

// Several files in one document: "Page N of M" counts each file's own pages, each file keeps its sheet, and
// a name that is not text is shown with replacement characters.
TEST(PageFurniture, PageCountsRunWithinEachFileOfASharedDocument)
{
    TempDir dir;
    const fs::path pdf = dir.path() / "both.pdf";
    FontSet fonts("C.UTF-8");
    ASSERT_TRUE(fonts.valid()) << fonts.problem();
    {
        AtomicFile file(pdf.string());
        ASSERT_TRUE(file.open());
        PdfDocument document(file, kPaperA4, "both", "test", fonts, 10);
        PrintJob first;
        first.title = "first.xml";
        first.style.header = true;
        first.style.landscape = true;
        const std::string firstText = numberedLines(60); // 40 rows a landscape page: 2 pages
        MemoryByteSource firstSource(firstText);
        EXPECT_EQ(printTextInto(document, fonts, firstSource, first).pages, 2);
        PrintJob second;
        second.title = "sec\xFFond\t.xml"; // not UTF-8, and a control character
        second.style.header = true;
        second.style.lineNumbers = true;
        const std::string secondText = numberedLines(130); // 59 rows a portrait page: 3 pages
        MemoryByteSource secondSource(secondText);
        EXPECT_EQ(printTextInto(document, fonts, secondSource, second).pages, 3);
        std::string problem;
        ASSERT_TRUE(document.finish(problem)) << problem;
        ASSERT_TRUE(file.commit());
    }
    for (const std::string& complaint : pdfComplaints(pdf, dir.path()))
        ADD_FAILURE() << complaint;
    ASSERT_EQ(pageCount(pdf, dir.path()), 5);
    const std::vector<std::string> expected
        = { "Page 1 of 2", "Page 2 of 2", "Page 1 of 3", "Page 2 of 3", "Page 3 of 3" };
    for (int page = 1; page <= 5; ++page) {
        const std::string text = pageText(pdf, page, dir.path());
        EXPECT_NE(text.find(expected[page - 1]), std::string::npos) << "page " << page << ": " << text;
        EXPECT_NE(text.find(page <= 2 ? "first.xml" : "sec\uFFFDond\uFFFD.xml"), std::string::npos) << "page " << page;
    }
    std::string info;
    runProgram({ "pdfinfo", "-f", "1", "-l", "5", pdf.string() }, info, dir.path());
    EXPECT_TRUE(std::regex_search(info, std::regex("Page +1 size: +841.89 x 595.27"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page +3 size: +595.27[0-9]* x 841.89"))) << info;
}

// A rendered file's header gives its modification time to the minute, in the local time zone.
TEST(PageFurniture, HeaderShowsTheFilesModificationTimeInLocalTime)
{
    TempDir dir;
    const fs::path source = dir.path() / "dated.xml";
    std::ofstream(source) << "<a/>\n";
    const timespec times[2] = { { 1700000000, 0 }, { 1700000000, 0 } }; // 2023-11-14 22:13:20 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    for (const auto& [zone, expected] :
        { std::pair { "UTC0", "2023-11-14 22:13" }, { "EST5", "2023-11-14 17:13" }, { "JST-9", "2023-11-15 07:13" } }) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        RenderRequest request;
        request.sourcePath = source.string();
        request.target = (dir.path() / "dated.pdf").string();
        request.title = "dated.xml";
        request.style.header = true;
        const RenderOutcome outcome = renderFile(request);
        ASSERT_EQ(outcome.status, RenderOutcome::Status::Written) << outcome.reason;
        const std::string text = pageText(dir.path() / "dated.pdf", 1, dir.path());
        EXPECT_NE(text.find(expected), std::string::npos) << zone << ": " << text;
    }
    if (saved)
        ::setenv("TZ", savedZone.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}
