#pragma once

#include "print/PrintLine.h"
#include "text/ByteWords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// Cuts decoded text into the lines a page shows: CR LF, LF and CR end a line; tabs become spaces up to the
// next multiple of 8 columns; every other control character is shown, never dropped: C0 controls and DEL in
// caret notation ("^A", "^[", "^?"); C1 controls, the Unicode line and paragraph separators, the invisible
// format characters (soft hyphen, zero-width space, direction marks, ...) and the noncharacters (U+FFFF, ...)
// as "<U+00AD>". Both are plain ASCII, so they print in any font and copy back as printed. A line longer than
// kMaxLineChars is handed out in parts, so memory stays bounded; each line carries the number of the source
// line it begins, and the parts after the first carry none. Text handed in with a style keeps it: the line's
// spans cover exactly the bytes it became, expansions included.
class PrintableLines
{
public:
    static constexpr std::size_t kMaxLineChars = 16384;
    using LineSink = std::function<void(const PrintLine& line)>;

    explicit PrintableLines(LineSink sink);

    // Takes the next piece of UTF-8 text; a sequence may be split between pieces. Bytes that are not UTF-8
    // are shown as U+FFFD.
    void add(std::string_view text);
    // The same, in a style other than plain text. Inline for the XML view, which adds a few bytes at a time: most
    // of its pieces are printable ASCII that goes on the line as it stands.
    void add(std::string_view text, TextStyle style)
    {
        setStyle(style);
        if (!m_afterCr && m_pending.empty() && text.size() < kMaxLineChars - m_column && isPrintableAscii(text)) {
            if (!text.empty()) {
                m_line.append(text);
                m_column += text.size();
                m_lineStarted = true;
                m_cutForLength = false;
            }
            return;
        }
        addText(text);
    }
    // Ends the line as a line break in the text would, for text whose breaks are not the source's own: the next
    // line begins at `sourceLine`, and the source's breaks after it count on from there.
    void breakLine(std::uint64_t sourceLine);
    // Hands out the last line when the text does not end with a line break.
    void finish();

private:
    static bool outsidePrintableAscii(std::uint64_t word)
    {
        return bytewords::anyBelow(word, 0x20) || bytewords::anyAtOrAbove(word, 0x7F);
    }
    // Whether every byte is in 0x20 to 0x7E: short text in two words that may overlap, inline, since most
    // pieces are a few bytes; longer text eight bytes at a time.
    static bool isPrintableAscii(std::string_view text)
    {
        const char* p = text.data();
        const std::size_t size = text.size();
        if (size >= 8)
            return isLongPrintableAscii(text);
        if (size >= 4) {
            std::uint32_t first;
            std::uint32_t last;
            std::memcpy(&first, p, sizeof first);
            std::memcpy(&last, p + size - 4, sizeof last);
            return !outsidePrintableAscii(first | std::uint64_t { last } << 32);
        }
        if (size >= 2) {
            std::uint16_t first;
            std::uint16_t last;
            std::memcpy(&first, p, sizeof first);
            std::memcpy(&last, p + size - 2, sizeof last);
            return !outsidePrintableAscii((first | std::uint64_t { last } << 16) * 0x0000000100000001ull);
        }
        return size == 0 || !outsidePrintableAscii(static_cast<unsigned char>(p[0]) * bytewords::kEachByte);
    }
    static bool isLongPrintableAscii(std::string_view text);
    void addText(std::string_view text);
    void addCodePoint(char32_t cp);
    void endLine();
    void cutForLength();
    void flushPending();
    // The style stays set until text in another comes: a coloured line changes style at most once a piece.
    void setStyle(TextStyle style)
    {
        if (style == m_style)
            return;
        if (m_style != TextStyle::Text && m_line.size() > m_styleBegin)
            closeSpan();
        m_style = style;
        m_styleBegin = m_line.size();
    }
    void closeSpan();

    LineSink m_sink;
    std::string m_line;
    std::vector<StyleSpan> m_spans; // of the line being gathered, the open one left out
    TextStyle m_style = TextStyle::Text; // of the text being added
    std::size_t m_styleBegin = 0; // where in m_line the text in m_style began
    std::string m_pending; // an incomplete UTF-8 sequence at the end of the last piece
    std::size_t m_column = 0;
    std::uint64_t m_sourceLines = 1; // the source lines begun so far
    std::uint64_t m_sourceLine = 1; // of the line being gathered; 0 for a part after a cut
    bool m_afterCr = false;
    bool m_lineStarted = false;
    bool m_cutForLength = false;
};

} // namespace papyrant
