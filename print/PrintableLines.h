#pragma once

#include "print/PrintLine.h"

#include <cstddef>
#include <cstdint>
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
    // The same, in a style other than plain text.
    void add(std::string_view text, TextStyle style);
    // Ends the line as a line break in the text would, for text whose breaks are not the source's own: the next
    // line begins at `sourceLine`, and the source's breaks after it count on from there.
    void breakLine(std::uint64_t sourceLine);
    // Hands out the last line when the text does not end with a line break.
    void finish();

private:
    void addText(std::string_view text);
    void addCodePoint(char32_t cp);
    void endLine();
    void cutForLength();
    void flushPending();
    void setStyle(TextStyle style);
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
