#include "print/AtomicFile.h"
#include "print/ByteSource.h"
#include "print/TextPrinter.h"
#include "tests/support/GrayImage.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <hb.h>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

constexpr double kDpi = 150;
constexpr double kPixelsPerPoint = kDpi / 72;
// Where the text of an A4 page starts and ends, in pixels.
constexpr double kTextLeft = 90 * kPixelsPerPoint;
constexpr double kTextRight = (595.2756 - 90) * kPixelsPerPoint;

// The advances of `text`'s characters in the regular face of `family`, in pixels at 10 pt, read from the font
// file itself (unshaped).
std::vector<double> advances(const char* family, const std::vector<char32_t>& text)
{
    std::vector<double> result;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult found = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, query, &found);
    FcPatternDestroy(query);
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch
        || FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) != FcResultMatch
        || std::string(reinterpret_cast<const char*>(matchedFamily))
            != std::string(family).substr(0, std::string(family).find(':'))) {
        ADD_FAILURE() << family << " is not installed";
        if (match)
            FcPatternDestroy(match);
        return result;
    }
    hb_blob_t* blob = hb_blob_create_from_file(reinterpret_cast<const char*>(file));
    hb_face_t* face = hb_face_create(blob, 0);
    hb_font_t* font = hb_font_create(face);
    for (char32_t cp : text) {
        hb_codepoint_t glyph = 0;
        EXPECT_TRUE(hb_font_get_nominal_glyph(font, cp, &glyph)) << family << " lacks U+" << std::hex << unsigned(cp);
        result.push_back(
            double(hb_font_get_glyph_h_advance(font, glyph)) / hb_face_get_upem(face) * 10 * kPixelsPerPoint);
    }
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    FcPatternDestroy(match);
    return result;
}

// The first page of the print-out of `text`, at 150 dpi.
GrayImage printedPage(const std::string& text, const fs::path& dir)
{
    const fs::path pdf = dir / "page.pdf";
    MemoryByteSource source(text);
    AtomicFile file(pdf.string());
    EXPECT_TRUE(file.open());
    const PrintOutcome outcome = printText(source, file, PrintJob { kPaperA4, "marks", "C.UTF-8" });
    EXPECT_EQ(outcome.problem, "");
    EXPECT_TRUE(file.commit());
    std::string output;
    EXPECT_EQ(
        runProgram({ "pdftoppm", "-r", "150", "-gray", "-f", "1", "-l", "1", pdf.string(), (dir / "page").string() },
            output, dir),
        0)
        << output;
    return parsePgm(readFile(dir / "page-1.pgm"));
}

struct Ink
{
    int x;
    int y;
};

// The dark pixels between rows `top` and `bottom` (exclusive).
std::vector<Ink> inkBetween(const GrayImage& page, int top, int bottom)
{
    std::vector<Ink> ink;
    for (int y = std::max(0, top); y < std::min(page.height, bottom); ++y) {
        for (int x = 0; x < page.width; ++x) {
            if (page.at(x, y) < 128)
                ink.push_back(Ink { x, y });
        }
    }
    return ink;
}

} // namespace

// ฉันกิน: four consonants, a vowel sign over the first and another over the third. The marks sit over their
// own consonant, not over the next one, and the word takes its consonants' advances, no more.
TEST(MarkPlacement, ThaiMarksSitOverTheirConsonant)
{
    TempDir dir;
    const GrayImage page = printedPage("\u0E09\u0E31\u0E19\u0E01\u0E34\u0E19\n", dir.path());
    ASSERT_GT(page.width, 0);
    const std::vector<double> widths
        = advances("Tlwg Typo:style=Regular", { U'\u0E09', U'\u0E19', U'\u0E01', U'\u0E19' });
    ASSERT_EQ(widths.size(), 4u);
    std::vector<double> cellLeft { kTextLeft };
    for (double width : widths)
        cellLeft.push_back(cellLeft.back() + width);

    // The first row lies between the top margin (72 pt) and the second row, a 10 pt line further down.
    const int top = int(72 * kPixelsPerPoint) - 2;
    const std::vector<Ink> ink = inkBetween(page, top, top + int(12 * kPixelsPerPoint));
    ASSERT_FALSE(ink.empty());
    const auto [left, right]
        = std::minmax_element(ink.begin(), ink.end(), [](const Ink& a, const Ink& b) { return a.x < b.x; });
    EXPECT_GE(left->x, cellLeft[0] - 1);
    EXPECT_LT(left->x, cellLeft[1]);
    EXPECT_LE(right->x + 1, cellLeft[4] + 1);
    EXPECT_GT(right->x + 1, cellLeft[3]);

    // Where the consonants start: the top of the second one, which carries no mark.
    int consonantTop = page.height;
    for (const Ink& pixel : ink) {
        if (pixel.x >= cellLeft[1] + 1 && pixel.x + 1 <= cellLeft[2] - 1)
            consonantTop = std::min(consonantTop, pixel.y);
    }
    ASSERT_LT(consonantTop, page.height);
    // The marks' ink, above the consonants: inside the word, and well inside the first and third cells only
    // (a pixel's anti-aliased spill past a cell's edge aside).
    std::vector<int> markInkInCell(4);
    for (const Ink& pixel : ink) {
        if (pixel.y >= consonantTop - 1)
            continue;
        EXPECT_TRUE(pixel.x >= cellLeft[0] - 1 && pixel.x + 1 <= cellLeft[4] + 1) << "mark ink at x " << pixel.x;
        for (int cell = 0; cell < 4; ++cell) {
            if (pixel.x >= cellLeft[cell] + 1 && pixel.x + 1 <= cellLeft[cell + 1] - 1)
                ++markInkInCell[cell];
        }
    }
    EXPECT_GT(markInkInCell[0], 0) << "no mark over the first consonant";
    EXPECT_EQ(markInkInCell[1], 0) << "mark ink over the second consonant";
    EXPECT_GT(markInkInCell[2], 0) << "no mark over the third consonant";
    EXPECT_EQ(markInkInCell[3], 0) << "mark ink over the fourth consonant";

    // Marks drawn back over their consonant still copy back in order, with no space between.
    std::string text;
    ASSERT_EQ(runProgram({ "pdftotext", "-enc", "UTF-8", (dir.path() / "page.pdf").string(),
                             (dir.path() / "page.txt").string() },
                  text, dir.path()),
        0)
        << text;
    EXPECT_EQ(readFile(dir.path() / "page.txt").substr(0, 19), "\u0E09\u0E31\u0E19\u0E01\u0E34\u0E19\n");
}

// Alef wasla has a face: its ink, a tall letter, lies in its own advance at the right margin (the line reads
// right to left).
TEST(MarkPlacement, AlefWaslaIsDrawnAtTheRightMargin)
{
    TempDir dir;
    const GrayImage page = printedPage("\u0671\n", dir.path());
    ASSERT_GT(page.width, 0);
    const std::vector<double> widths = advances("Amiri:style=Regular", { U'\u0671' });
    ASSERT_EQ(widths.size(), 1u);
    const int top = int(72 * kPixelsPerPoint) - 2;
    const std::vector<Ink> ink = inkBetween(page, top, top + int(12 * kPixelsPerPoint));
    ASSERT_FALSE(ink.empty());
    for (const Ink& pixel : ink) {
        EXPECT_GE(pixel.x, kTextRight - widths[0] - 1);
        EXPECT_LE(pixel.x + 1, kTextRight + 1);
    }
}
