#include "print/AtomicFile.h"
#include "print/FontSet.h"
#include "print/PageLayout.h"
#include "print/PdfDocument.h"
#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// Characters of DejaVu Sans Mono at 10 pt (1233 of 2048 units each) on a row of A4 less two 90 pt margins.
const std::size_t kRoom = static_cast<std::size_t>(std::floor((595.2756 - 2 * 90) / (10 * 1233.0 / 2048)));

struct Word
{
    std::string text;
    double left = 0;
    double top = 0;
};

// The words of the first page as pdftotext finds them, with their boxes.
std::vector<Word> printedWords(const std::vector<std::string>& lines, const fs::path& scratch)
{
    const fs::path pdf = scratch / "rows.pdf";
    {
        FontSet fonts("C.UTF-8");
        EXPECT_TRUE(fonts.valid()) << fonts.problem();
        AtomicFile file(pdf.string());
        EXPECT_TRUE(file.open());
        PdfDocument document(file, kPaperA4, "rows", "test", fonts, PageLayout::kFontSize);
        PageLayout layout(document, fonts, kPaperA4);
        for (const std::string& line : lines)
            layout.addLine(line);
        layout.finish();
        std::string problem;
        EXPECT_TRUE(document.finish(problem)) << problem;
        EXPECT_TRUE(file.commit());
    }
    std::string output;
    EXPECT_EQ(
        runProgram({ "pdftotext", "-bbox", "-f", "1", "-l", "1", pdf.string(), (scratch / "words.html").string() },
            output, scratch),
        0)
        << output;
    const std::string html = readFile(scratch / "words.html");
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({ (*it)[3].str(), std::stod((*it)[1].str()), std::stod((*it)[2].str()) });
    return words;
}

// The words of each row, top to bottom, and whether each row starts at the left margin.
std::vector<std::string> rows(const std::vector<Word>& words, bool& flushLeft)
{
    std::vector<std::string> result;
    double top = -1;
    flushLeft = true;
    for (const Word& word : words) {
        if (std::abs(word.top - top) > 1) {
            result.emplace_back();
            top = word.top;
            flushLeft = flushLeft && std::abs(word.left - 90) < 0.5;
        } else {
            result.back() += ' ';
        }
        result.back() += word.text;
    }
    return result;
}

} // namespace

// A long line wraps after the last space that fits, a word longer than a row is cut where the row is full, and
// spaces past the margin hang there rather than start the next row.
TEST(PlainRows, RowsBreakAfterTheLastSpaceThatFitsAndSpacesHang)
{
    TempDir scratch;
    std::string words;
    while (words.size() < 3 * kRoom)
        words += "abcd ";
    const std::size_t wordsARow = (kRoom + 1) / 5; // "abcd " takes five columns; the last space may hang
    const std::string unbroken(2 * kRoom + 5, 'x');
    const std::string hanging = std::string(kRoom, 'a') + std::string(10, ' ') + "b";
    const std::string spaceAtTheEdge = std::string(kRoom - 1, 'c') + " dd";

    bool flushLeft = false;
    const std::vector<std::string> printed
        = rows(printedWords({ words, unbroken, hanging, spaceAtTheEdge }, scratch.path()), flushLeft);
    EXPECT_TRUE(flushLeft) << "a row starts with a space that should hang at the end of the one before";

    std::vector<std::string> expected;
    std::string row;
    for (std::size_t i = 0, inRow = 0; i < words.size() / 5; ++i) {
        row += row.empty() ? "abcd" : " abcd";
        if (++inRow == wordsARow || i + 1 == words.size() / 5) {
            expected.push_back(row);
            row.clear();
            inRow = 0;
        }
    }
    expected.push_back(std::string(kRoom, 'x'));
    expected.push_back(std::string(kRoom, 'x'));
    expected.push_back(std::string(5, 'x'));
    expected.push_back(std::string(kRoom, 'a'));
    expected.push_back("b");
    expected.push_back(std::string(kRoom - 1, 'c'));
    expected.push_back("dd");
    EXPECT_EQ(printed, expected);
}
