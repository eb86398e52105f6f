#include "print/AtomicFile.h"
#include "print/FileByteSource.h"
#include "print/TextPrinter.h"
#include "tests/support/GrayImage.h"
#include "tests/support/PdfChecks.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <sstream>
#include <string>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

GrayImage readReference(const fs::path& path)
{
    const std::string packed = readFile(path);
    std::string bytes(4 * 1024 * 1024, '\0');
    std::size_t size = 0;
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    const libdeflate_result result
        = libdeflate_gzip_decompress(decompressor, packed.data(), packed.size(), bytes.data(), bytes.size(), &size);
    libdeflate_free_decompressor(decompressor);
    if (result != LIBDEFLATE_SUCCESS)
        return {};
    bytes.resize(size);
    return parsePgm(bytes);
}

bool inked(const GrayImage& image, int x, int y)
{
    return static_cast<unsigned char>(image.pixels[static_cast<std::size_t>(y) * image.width + x]) < 128;
}

bool differs(const GrayImage& a, const GrayImage& b, std::size_t i)
{
    return std::abs(int(static_cast<unsigned char>(a.pixels[i])) - int(static_cast<unsigned char>(b.pixels[i]))) > 64;
}

// The page judged text row by text row: a row is a band of pixel lines with ink in either image, and in each
// band at most a quarter as many pixels may differ (by more than 64 of 255) as there are inked pixels in the
// expected band; a row that vanishes, moves or changes its words fails however small a share of the page it
// is. The rows that fail, as "lines A-B: N of M pixels differ"; empty when the page passes.
std::vector<std::string> rowsThatDiffer(const GrayImage& actual, const GrayImage& expected)
{
    std::vector<std::string> failures;
    int y = 0;
    while (y < expected.height) {
        auto lineInked = [&](int line) {
            for (int x = 0; x < expected.width; ++x) {
                if (inked(expected, x, line) || inked(actual, x, line))
                    return true;
            }
            return false;
        };
        if (!lineInked(y)) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < expected.height && lineInked(y))
            ++y;
        std::size_t ink = 0;
        std::size_t differing = 0;
        for (int line = top; line < y; ++line) {
            for (int x = 0; x < expected.width; ++x) {
                ink += inked(expected, x, line);
                differing += differs(actual, expected, static_cast<std::size_t>(line) * expected.width + x);
            }
        }
        if (differing * 4 > std::max<std::size_t>(ink, 8))
            failures.push_back("lines " + std::to_string(top) + "-" + std::to_string(y - 1) + ": "
                + std::to_string(differing) + " of " + std::to_string(ink) + " pixels differ");
    }
    return failures;
}

} // namespace

// The shipped samples look as they did when the print-outs were drawn by a general-purpose PDF library: each
// text row of the pages at 72 dpi is as in the reference images made then.
TEST(SampleRendering, SamplesLookAsTheReferencePrintOuts)
{
    const fs::path source = std::getenv("PAPYRANT_SOURCE_DIR");
    TempDir dir;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(source / "assets" / "Samples")) {
        const std::string stem = entry.path().stem().string();
        const fs::path pdf = dir.path() / (stem + ".pdf");
        {
            const auto fd = FileByteSource::openRegularFile(entry.path().string());
            ASSERT_TRUE(fd) << fd.reason();
            FileByteSource bytes(*fd);
            AtomicFile file(pdf.string());
            ASSERT_TRUE(file.open());
            const PrintOutcome outcome
                = printText(bytes, file, PrintJob { kPaperA4, entry.path().filename().string(), "C.UTF-8" });
            ASSERT_EQ(outcome.problem, "") << stem;
            ASSERT_TRUE(file.commit()) << stem;
        }
        for (const std::string& complaint : pdfComplaints(pdf, dir.path()))
            ADD_FAILURE() << stem << ": " << complaint;
        std::string output;
        ASSERT_EQ(runProgram({ "pdftoppm", "-r", "72", "-gray", pdf.string(), (dir.path() / stem).string() }, output,
                      dir.path()),
            0)
            << output;
        for (int page = 1;; ++page) {
            const fs::path reference
                = source / "tests" / "print" / "reference" / (stem + "-" + std::to_string(page) + ".pgm.gz");
            const fs::path rendered = dir.path() / (stem + "-" + std::to_string(page) + ".pgm");
            if (!fs::exists(reference)) {
                EXPECT_FALSE(fs::exists(rendered)) << stem << " has more pages than its reference";
                break;
            }
            ASSERT_TRUE(fs::exists(rendered)) << stem << " has fewer pages than its reference";
            const GrayImage expected = readReference(reference);
            const GrayImage actual = parsePgm(readFile(rendered));
            ASSERT_GT(expected.width, 0) << reference;
            ASSERT_EQ(actual.width, expected.width) << rendered;
            ASSERT_EQ(actual.height, expected.height) << rendered;
            for (const std::string& row : rowsThatDiffer(actual, expected))
                ADD_FAILURE() << rendered << ", " << row;
            ++compared;
        }
    }
    EXPECT_GE(compared, 8);
}

// The judgment catches one text row gone: a page of the references against itself with its first text row
// blanked (about 0.3% of the page's pixels) fails in that row only.
TEST(SampleRendering, APageMissingOneTextRowFails)
{
    const fs::path source = std::getenv("PAPYRANT_SOURCE_DIR");
    const GrayImage expected = readReference(source / "tests" / "print" / "reference" / "invoice-1.pgm.gz");
    ASSERT_GT(expected.width, 0);
    EXPECT_EQ(rowsThatDiffer(expected, expected), std::vector<std::string>());

    GrayImage blanked = expected;
    int top = 0;
    auto lineInked = [&](int line) {
        for (int x = 0; x < expected.width; ++x) {
            if (static_cast<unsigned char>(expected.pixels[static_cast<std::size_t>(line) * expected.width + x]) < 128)
                return true;
        }
        return false;
    };
    while (top < expected.height && !lineInked(top))
        ++top;
    int bottom = top;
    while (bottom < expected.height && lineInked(bottom))
        ++bottom;
    ASSERT_LT(top, expected.height);
    for (int line = top; line < bottom; ++line)
        std::fill_n(
            blanked.pixels.begin() + static_cast<std::ptrdiff_t>(line) * expected.width, expected.width, '\xFF');
    EXPECT_EQ(rowsThatDiffer(blanked, expected).size(), 1u);
}
