#include "print/PrintableLines.h"

#include "text/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace papyrant {

namespace {

constexpr std::size_t kTabWidth = 8;

// The noncharacters: U+FDD0 to U+FDEF and the last two code points of every plane. No face draws them and
// text tools may take them for markers of their own.
bool isNoncharacter(char32_t cp)
{
    return (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
}

// C1 controls, line and paragraph separators (which would end the line in a reader's text), the invisible
// format characters that would vanish from the page and from copied text (soft hyphen, zero-width space,
// direction marks and overrides, word joiner and invisible operators, and a byte-order mark inside the text),
// and the noncharacters.
bool shownByNumber(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0xAD || cp == 0x200B || cp == 0x200E || cp == 0x200F
        || (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x2064) || (cp >= 0x2066 && cp <= 0x2069)
        || cp == 0xFEFF || isNoncharacter(cp);
}

} // namespace

PrintableLines::PrintableLines(LineSink sink)
    : m_sink(std::move(sink))
{
}

void PrintableLines::add(std::string_view text)
{
    setStyle(TextStyle::Text);
    addText(text);
}

bool PrintableLines::isLongPrintableAscii(std::string_view text)
{
    for (std::size_t i = 0; i + 8 <= text.size(); i += 8) {
        if (outsidePrintableAscii(bytewords::wordAt(text.data() + i)))
            return false;
    }
    return !outsidePrintableAscii(bytewords::wordAt(text.data() + text.size() - 8));
}

void PrintableLines::closeSpan()
{
    if (m_style != TextStyle::Text && m_line.size() > m_styleBegin) {
        if (!m_spans.empty() && m_spans.back().style == m_style && m_spans.back().end == m_styleBegin)
            m_spans.back().end = static_cast<std::uint32_t>(m_line.size());
        else
            m_spans.push_back(StyleSpan {
                static_cast<std::uint32_t>(m_styleBegin), static_cast<std::uint32_t>(m_line.size()), m_style });
    }
    m_styleBegin = m_line.size();
}

void PrintableLines::breakLine(std::uint64_t sourceLine)
{
    flushPending();
    if (m_lineStarted || !m_cutForLength)
        endLine();
    m_cutForLength = false;
    m_afterCr = false;
    m_sourceLines = sourceLine;
    m_sourceLine = sourceLine;
}

void PrintableLines::addText(std::string_view text)
{
    std::size_t i = 0;
    if (!m_pending.empty()) {
        // Complete the sequence left over from the last piece, one byte at a time.
        while (i < text.size()) {
            m_pending.push_back(text[i++]);
            const auto* p = reinterpret_cast<const unsigned char*>(m_pending.data());
            const int length = utf8::sequenceLength(p, m_pending.size());
            if (length > 0) {
                addCodePoint(utf8::decode(p, length));
                m_pending.clear();
                break;
            }
            if (length < 0) {
                addCodePoint(U'\uFFFD');
                m_pending.clear();
                i -= 1; // the byte that broke the sequence may start a new one
                break;
            }
        }
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    while (i < text.size()) {
        const unsigned char c = p[i];
        if (c >= 0x20 && c < 0x7F && !m_afterCr) {
            // Plain printable ASCII, the common case: a run at a time, up to where the line is cut for length.
            const std::size_t limit = i + std::min(text.size() - i, kMaxLineChars - m_column);
            std::size_t end = i + 1;
            while (end < limit && p[end] >= 0x20 && p[end] < 0x7F)
                ++end;
            m_line.append(text.data() + i, end - i);
            m_column += end - i;
            m_lineStarted = true;
            m_cutForLength = false;
            if (m_column >= kMaxLineChars)
                cutForLength();
            i = end;
            continue;
        }
        const int length = utf8::sequenceLength(p + i, text.size() - i);
        if (length == 0) {
            m_pending.assign(text.substr(i));
            return;
        }
        if (length < 0) {
            addCodePoint(U'\uFFFD');
            ++i;
            continue;
        }
        addCodePoint(utf8::decode(p + i, length));
        i += static_cast<std::size_t>(length);
    }
}

void PrintableLines::addCodePoint(char32_t cp)
{
    if (m_afterCr) {
        m_afterCr = false;
        if (cp == U'\n')
            return; // the LF of a CR LF pair
    }
    if (cp == U'\n' || cp == U'\r') {
        // A break right after a line was cut for length ends that line; it starts no empty one.
        if (m_lineStarted || !m_cutForLength)
            endLine();
        m_cutForLength = false;
        m_sourceLine = ++m_sourceLines;
        m_afterCr = cp == U'\r';
        return;
    }
    m_lineStarted = true;
    m_cutForLength = false;
    if (cp == U'\t') {
        const std::size_t spaces = kTabWidth - m_column % kTabWidth;
        m_line.append(spaces, ' ');
        m_column += spaces;
    } else if (cp < 0x20 || cp == 0x7F) {
        m_line.push_back('^');
        m_line.push_back(static_cast<char>(cp ^ 0x40));
        m_column += 2;
    } else if (shownByNumber(cp)) {
        char shown[16];
        const int count = std::snprintf(shown, sizeof shown, "<U+%04X>", static_cast<unsigned>(cp));
        m_line.append(shown, static_cast<std::size_t>(count));
        m_column += static_cast<std::size_t>(count);
    } else {
        utf8::append(m_line, cp);
        ++m_column;
    }
    if (m_column >= kMaxLineChars)
        cutForLength();
}

void PrintableLines::cutForLength()
{
    endLine();
    m_cutForLength = true;
    m_sourceLine = 0;
}

void PrintableLines::endLine()
{
    closeSpan();
    m_sink(PrintLine { m_line, m_spans, m_sourceLine });
    m_line.clear();
    m_spans.clear();
    m_styleBegin = 0;
    m_column = 0;
    m_lineStarted = false;
}

void PrintableLines::flushPending()
{
    for (std::size_t i = 0; i < m_pending.size(); ++i)
        addCodePoint(U'\uFFFD');
    m_pending.clear();
}

void PrintableLines::finish()
{
    flushPending();
    if (m_lineStarted)
        endLine();
    m_afterCr = false;
}

} // namespace papyrant
