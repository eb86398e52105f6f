#include "print/MergedPdf.h"

#include "print/ByteSource.h"
#include "print/ReadError.h"
#include "tests/support/MemorySink.h"
#include "tests/support/MergedPdfChecks.h"
#include "tests/support/PdfChecks.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using namespace papyrant;
using namespace papyrant::test;

namespace {

// A file whose disk gives out at its end: every byte is read, then the read that should find the end fails.
class FailingAtTheEnd : public ByteSource
{
public:
    explicit FailingAtTheEnd(std::string bytes)
        : m_text(std::move(bytes))
        , m_bytes(m_text)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        const std::size_t count = m_bytes.read(buffer, size);
        if (count == 0 && size > 0)
            throw ReadError("Input/output error");
        return count;
    }
    void rewind() override
    {
        m_bytes.rewind();
    }

protected:
    std::size_t readWhole(char* buffer, std::size_t size)
    {
        return m_bytes.read(buffer, size);
    }

private:
    std::string m_text;
    MemoryByteSource m_bytes;
};

// The same, but only once the text is read for printing: the first reading, which looks the bytes over for
// their encoding, finds the end.
class FailingWhenPrinted : public FailingAtTheEnd
{
public:
    using FailingAtTheEnd::FailingAtTheEnd;
    std::size_t read(char* buffer, std::size_t size) override
    {
        if (m_rewound)
            return FailingAtTheEnd::read(buffer, size);
        return FailingAtTheEnd::readWhole(buffer, size);
    }
    void rewind() override
    {
        m_rewound = true;
        FailingAtTheEnd::rewind();
    }

private:
    bool m_rewound = false;
};

std::string lines(const std::string& word, int count)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    for (int i = 0; i < count; ++i)
        text += "<row>" + word + " " + std::to_string(i) + "</row>\n";
    return text;
}

// Finishes the merge and writes it into the folder, where qpdf must find nothing to complain of.
std::filesystem::path finishInto(MergedPdf& merged, const MemorySink& sink, const TempDir& dir)
{
    std::string problem;
    EXPECT_TRUE(merged.finish(problem)) << problem;
    const std::filesystem::path pdf = dir.path() / "all.pdf";
    std::ofstream(pdf, std::ios::binary) << sink.bytes;
    EXPECT_EQ(pdfComplaints(pdf, dir.path()), std::vector<std::string> {});
    return pdf;
}

} // namespace

// A file that fails after pages of it were written, and in the middle of a page, leaves nothing of itself that a
// reader can reach: the next file takes its place, and the PDF stays sound.
TEST(MergedPdf, AFileThatFailsPartWayLeavesNoPageOfItsOwnReachable)
{
    MemorySink sink;
    const PrintJob job { kPaperA4, "all.pdf", "C.UTF-8", "papyrant-convert" };
    MergedPdf merged(sink, job);
    ASSERT_TRUE(merged.valid()) << merged.problem();

    const std::string alphaText = lines("alpha", 150);
    MemoryByteSource alpha(alphaText);
    const MergedPdf::Added first = merged.add(alpha, job, "alpha.xml");
    ASSERT_TRUE(first.merged) << first.reason;
    EXPECT_EQ(first.firstPage, 1);
    EXPECT_GE(first.pages, 2);

    // 300 rows: several whole pages, and one begun.
    FailingAtTheEnd bravo(lines("bravo", 300));
    const MergedPdf::Added failed = merged.add(bravo, job, "bravo.xml");
    EXPECT_FALSE(failed.merged);
    EXPECT_EQ(failed.reason, "cannot read the file: Input/output error");

    const std::string charlieText = lines("charlie", 10);
    MemoryByteSource charlie(charlieText);
    const MergedPdf::Added last = merged.add(charlie, job, "charlie.xml");
    ASSERT_TRUE(last.merged) << last.reason;
    EXPECT_EQ(last.firstPage, first.pages + 1);
    EXPECT_EQ(last.pages, 1);
    EXPECT_EQ(merged.files(), 2);
    const TempDir dir;
    const std::filesystem::path pdf = finishInto(merged, sink, dir);
    const PdfReadBack back(pdf, dir.path());
    EXPECT_EQ(back.pageCount(), first.pages + 1);
    EXPECT_EQ(back.bookmarkTitles(), (std::vector<std::string> { "alpha.xml", "charlie.xml" }));
    EXPECT_EQ(back.bookmarkPages(), (std::vector<int> { 1, first.pages + 1 }));
    EXPECT_EQ(back.labelStarts(), (std::vector<int> { 0, first.pages }));
    const std::string text = back.text();
    EXPECT_NE(text.find("alpha 149"), std::string::npos);
    EXPECT_NE(text.find("charlie 0"), std::string::npos);
    EXPECT_EQ(text.find("bravo"), std::string::npos) << "a page of the failed file is reachable";
    EXPECT_NE(back.pageText(first.pages + 1).find("charlie 9"), std::string::npos);
}

// The ink a failed file left set is not taken for the next file's: its first token, in the same colour as the
// failed file's last one, is still inked, not left in the page's black.
TEST(MergedPdf, TheFileAfterOneThatFailedSetsItsOwnInk)
{
    MemorySink sink;
    PrintJob job { kPaperA4, "all.pdf", "C.UTF-8", "papyrant-convert" };
    job.style.xmlColour = true;
    MergedPdf merged(sink, job);
    ASSERT_TRUE(merged.valid()) << merged.problem();
    // Fails after pages of it were drawn, the last row ending with "</row>" in the markup's ink.
    FailingWhenPrinted failing(lines("bravo", 300));
    EXPECT_FALSE(merged.add(failing, job, "bravo.xml").merged);
    // Starts with "<row", in that same ink.
    MemoryByteSource next("<row>charlie</row>\n");
    ASSERT_TRUE(merged.add(next, job, "charlie.xml").merged);
    const TempDir dir;
    const std::filesystem::path pdf = finishInto(merged, sink, dir);
    const std::string content = PdfReadBack(pdf, dir.path()).pageContent(1);
    const std::size_t firstShown = content.find("Tj");
    ASSERT_NE(firstShown, std::string::npos) << content;
    const std::size_t firstInk = std::min(content.find(" sc\n"), content.find(" rg\n"));
    EXPECT_LT(firstInk, firstShown) << content;
}
