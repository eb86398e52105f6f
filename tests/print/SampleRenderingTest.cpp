#include "print/AtomicFile.h"
#include "print/FileByteSource.h"
#include "print/TextPrinter.h"
#include "tests/support/GrayImage.h"
#include "tests/support/PdfChecks.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <libdeflate.h>

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

// The share of pixels that differ by more than 64 of 255.
double differingShare(const GrayImage& a, const GrayImage& b)
{
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        if (std::abs(int(static_cast<unsigned char>(a.pixels[i])) - int(static_cast<unsigned char>(b.pixels[i]))) > 64)
            ++differing;
    }
    return double(differing) / double(a.pixels.size());
}

} // namespace

// The shipped samples look as they did when the print-outs were drawn by a general-purpose PDF library: the
// pages at 72 dpi differ from the reference images made then in at most 0.5% of their pixels.
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
            EXPECT_LE(differingShare(actual, expected), 0.005) << rendered;
            ++compared;
        }
    }
    EXPECT_GE(compared, 8);
}
