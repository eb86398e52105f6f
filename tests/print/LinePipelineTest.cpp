#include "print/LinePipeline.h"

#include "print/ByteSource.h"
#include "print/PrintStyle.h"
#include "print/ReadError.h"
#include "print/TextDecoder.h"
#include "print/XmlTextView.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace papyrant;

namespace {

struct Line
{
    std::string text;
    std::vector<StyleSpan> spans;
    std::uint64_t number;

    bool operator==(const Line& other) const
    {
        if (text != other.text || number != other.number || spans.size() != other.spans.size())
            return false;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            if (spans[i].begin != other.spans[i].begin || spans[i].end != other.spans[i].end
                || spans[i].style != other.spans[i].style)
                return false;
        }
        return true;
    }
};

Line copied(const PrintLine& line)
{
    return { std::string(line.text), { line.spans.begin(), line.spans.end() }, line.sourceLine };
}

// Records on one line each, their elements run together so that pretty-printing makes several rows of each:
// many batches' worth.
std::string records(int count)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<records>\n";
    for (int i = 0; i < count; ++i) {
        text += "  <record id=\"" + std::to_string(i) + "\"><name>caf\xC3\xA9 &amp; " + std::to_string(i * 7)
            + "</name><!-- note --><value>" + std::to_string(i * 7919 % 1000003) + "</value></record>\n";
    }
    return text + "</records>\n";
}

PrintStyle prettyColour()
{
    PrintStyle style;
    style.xmlPretty = true;
    style.xmlColour = true;
    return style;
}

// The lines as read on the caller's thread alone.
std::vector<Line> readHere(std::string_view text, const PrintStyle& style)
{
    MemoryByteSource source(text);
    TextDecoder decoder(source);
    std::vector<Line> lines;
    PrintableLines printable([&lines](const PrintLine& line) { lines.push_back(copied(line)); });
    readStyledText(decoder, style, printable, [] { return true; });
    return lines;
}

// A file whose disk gives out half-way once the decoder has checked it whole and begun again.
class FailingWhenReadAgain : public ByteSource
{
public:
    explicit FailingWhenReadAgain(std::string_view bytes)
        : m_whole(bytes)
        , m_half(bytes.substr(0, bytes.size() / 2))
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        if (!m_again)
            return m_whole.read(buffer, size);
        const std::size_t count = m_half.read(buffer, size);
        if (count == 0 && size > 0)
            throw ReadError("Input/output error");
        return count;
    }
    void rewind() override
    {
        m_again = true;
        m_half.rewind();
    }

private:
    MemoryByteSource m_whole;
    MemoryByteSource m_half;
    bool m_again = false;
};

const std::string kRecords = records(4000);

} // namespace

TEST(LinePipeline, LinesComeInTheirOrderAsIfReadOnTheCallersThread)
{
    for (const PrintStyle& style : { prettyColour(), PrintStyle {} }) {
        const std::vector<Line> expected = readHere(kRecords, style);
        ASSERT_GT(expected.size(), 4000u);
        MemoryByteSource source(kRecords);
        TextDecoder decoder(source);
        std::vector<Line> lines;
        ASSERT_TRUE(readStyledTextAside(
            decoder, style, [&lines](const PrintLine& line) { lines.push_back(copied(line)); }, [] { return true; }));
        EXPECT_EQ(lines.size(), expected.size());
        EXPECT_TRUE(lines == expected);
    }
}

// A failure on either side ends the reading: the source's failure reaches the caller with its reason after the
// lines read before it; the taker's failure or its giving up leaves the call at once, the reading thread ended.
TEST(LinePipeline, AFailureOnEitherSideEndsTheReading)
{
    const std::vector<Line> whole = readHere(kRecords, prettyColour());
    {
        FailingWhenReadAgain source(kRecords);
        TextDecoder decoder(source);
        std::vector<Line> lines;
        try {
            readStyledTextAside(
                decoder, prettyColour(), [&lines](const PrintLine& line) { lines.push_back(copied(line)); },
                [] { return true; });
            ADD_FAILURE() << "the read error was lost";
        } catch (const ReadError& error) {
            EXPECT_STREQ(error.what(), "Input/output error");
        }
        ASSERT_GT(lines.size(), 1000u);
        ASSERT_LT(lines.size(), whole.size());
        EXPECT_TRUE(std::equal(lines.begin(), lines.end(), whole.begin()));
    }
    {
        MemoryByteSource source(kRecords);
        TextDecoder decoder(source);
        std::size_t taken = 0;
        EXPECT_THROW(readStyledTextAside(
                         decoder, prettyColour(),
                         [&taken](const PrintLine&) {
                             if (++taken == 2000)
                                 throw std::runtime_error("no room");
                         },
                         [] { return true; }),
            std::runtime_error);
        EXPECT_EQ(taken, 2000u);
    }
    {
        MemoryByteSource source(kRecords);
        TextDecoder decoder(source);
        std::size_t taken = 0;
        int batches = 0;
        EXPECT_TRUE(readStyledTextAside(
            decoder, prettyColour(), [&taken](const PrintLine&) { ++taken; }, [&batches] { return ++batches < 3; }));
        EXPECT_GT(taken, 0u);
        EXPECT_LT(taken, whole.size() / 2);
    }
}
