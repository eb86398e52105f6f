#include "print/PageLayout.h"

#include "print/FontSet.h"
#include "print/PdfDocument.h"
#include "print/PdfFont.h"
#include "print/TextPrinter.h"
#include "print/XmlTextView.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace papyrant {

namespace {

constexpr char32_t kCachedRange = 0x2600;

// Characters that DejaVu Sans Mono draws one glyph each, with no shaping, no combining and no change of
// direction; only these may skip shaping.
bool isSimpleCharacter(char32_t cp)
{
    return (cp >= 0x20 && cp <= 0x7E) || (cp >= 0xA0 && cp <= 0x2FF && cp != 0xAD) || (cp >= 0x370 && cp <= 0x482)
        || (cp >= 0x48A && cp <= 0x52F) || (cp >= 0x1E00 && cp <= 0x1FFF) || (cp >= 0x2010 && cp <= 0x2027)
        || (cp >= 0x2030 && cp <= 0x205E) || (cp >= 0x20A0 && cp <= 0x20BF) || (cp >= 0x2100 && cp <= 0x23FF)
        || (cp >= 0x2400 && cp <= 0x2426) || (cp >= 0x2500 && cp <= 0x25FF);
}

PrintJob jobOnPaper(PaperSize paper)
{
    PrintJob job;
    job.paper = paper;
    return job;
}

// How many digits the gutter makes room for: enough for the last line of a source of `size` bytes (a line
// takes at least one byte), at least 3 and at most 6; a longer number reaches into the margin. Unknown size: 6.
int gutterDigits(std::uint64_t size)
{
    int digits = 1;
    for (std::uint64_t lines = size + 1; lines >= 10 && digits < 6; lines /= 10)
        ++digits;
    return size == 0 ? 6 : std::max(digits, 3);
}

double clampedFontSize(double size)
{
    if (!std::isfinite(size))
        return PageLayout::kFontSize;
    return std::clamp(size, PrintStyle::kMinFontSize, PrintStyle::kMaxFontSize);
}

} // namespace

PageLayout::PageLayout(PdfDocument& document, FontSet& fonts, PaperSize paper)
    : PageLayout(document, fonts, jobOnPaper(paper))
{
}

PageLayout::PageLayout(PdfDocument& document, FontSet& fonts, const PrintJob& job)
    : m_document(document)
    , m_fonts(fonts)
    , m_fontSize(clampedFontSize(job.style.fontSize))
    , m_shaper(fonts, m_fontSize)
    , m_paper(pagePaper(job))
    , m_glyphs(kCachedRange)
{
    const FontFace& main = fonts.face(FontSet::kMainFace);
    m_ascent = main.ascender() * m_fontSize / main.unitsPerEm();
    m_lineHeight = m_ascent - main.descender() * m_fontSize / main.unitsPerEm();
    if (m_lineHeight <= 0) {
        m_ascent = m_fontSize * 0.93;
        m_lineHeight = m_fontSize * 1.17;
    }
    m_document.setPageFormat(m_paper, m_fontSize);
    // The plain print-out stays as it always was; one with furniture or the XML view takes the smaller moves.
    const PrintStyle& style = job.style;
    m_document.setRelativeMoves(style.lineNumbers || style.header || XmlTextView::wanted(style));
    m_document.setRowLeading(m_lineHeight);
    m_width = m_paper.width - 2 * kMarginLeftRight;
    m_rowsPerPage = std::max(1, static_cast<int>((m_paper.height - 2 * kMarginTopBottom) / m_lineHeight));
    const std::uint32_t zero = main.glyphFor(U'0');
    m_digitAdvance = zero != 0 ? main.advance(zero) * m_fontSize / main.unitsPerEm() : m_fontSize * 0.6;

    m_lineNumbers = job.style.lineNumbers;
    if (m_lineNumbers) {
        // The numbers right-aligned, then one blank column before the text.
        m_gutterDigits = gutterDigits(job.sourceSize);
        const double gutter = (m_gutterDigits + 1) * m_digitAdvance;
        m_left += gutter;
        m_width -= gutter;
    }
    m_header = job.style.header;
    if (m_header)
        setUpHeader(job);
}

PageLayout::~PageLayout()
{
    // A layout left early (its source failed) still writes the forms its pages named, so that the document
    // stays whole around it.
    try {
        writePageNumbers();
    } catch (const std::exception&) {
        // The document fails as a whole for a missing object; nothing more to do here.
    }
}

void PageLayout::setUpHeader(const PrintJob& job)
{
    m_modified = job.modified;
    // The name as characters the page can show: bytes that are not UTF-8 and control characters become U+FFFD.
    for (std::size_t i = 0; i < job.title.size();) {
        const Utf8Char c = utf8CharAt(job.title, i);
        const bool control = c.codePoint < 0x20 || (c.codePoint >= 0x7F && c.codePoint < 0xA0);
        if (c.valid && !control)
            m_name.append(job.title, i, c.length);
        else
            utf8::append(m_name, U'\uFFFD');
        i += c.length;
    }
    // The name at the left, clear of the time in the middle; a name too long for its room is cut.
    const double modifiedWidth = static_cast<double>(m_modified.size()) * m_digitAdvance;
    const double room
        = std::max(m_digitAdvance, m_paper.width / 2 - modifiedWidth / 2 - 2 * m_digitAdvance - kMarginLeftRight);
    if (!m_name.empty()) {
        m_rows.clear();
        m_shaper.layOut(m_name, room, m_rows);
        if (!m_rows.empty())
            m_nameRow = std::move(m_rows.front());
    }
}

double PageLayout::nextRowBaseline()
{
    if (m_rowsOnPage == m_rowsPerPage)
        endPage();
    if (m_rowsOnPage == 0 && m_header)
        drawHeader();
    const double baseline = kMarginTopBottom + m_ascent + m_rowsOnPage * m_lineHeight;
    ++m_rowsOnPage;
    if (m_pendingNumber != 0) {
        m_pageNumbers.push_back(PageNumber { baseline, m_pendingNumber });
        m_pendingNumber = 0;
    }
    return baseline;
}

void PageLayout::endPage()
{
    drawGutter();
    m_document.endPage();
    ++m_pages;
    m_rowsOnPage = 0;
}

void PageLayout::addLine(const PrintLine& line)
{
    if (m_lineNumbers)
        m_pendingNumber = line.sourceLine;
    if (line.text.empty()) {
        nextRowBaseline();
        return;
    }
    if (drawAsciiLine(line) || drawPlainLine(line))
        return;
    m_rows.clear();
    m_shaper.layOut(line.text, m_width, m_rows);
    if (line.spans.empty())
        m_document.setColour(kBlack);
    for (const LineShaper::Row& row : m_rows)
        m_document.drawRow(m_left + row.left, nextRowBaseline(), row.glyphs, line.text, line.spans, m_left);
}

void PageLayout::finish()
{
    if (m_pages == 0 && m_rowsOnPage == 0 && m_header)
        drawHeader();
    if (m_rowsOnPage > 0 || m_pages == 0)
        endPage();
    writePageNumbers();
}

bool PageLayout::asciiCodes(std::string_view text, std::vector<std::uint16_t>& codes)
{
    codes.clear();
    for (const char c : text) {
        const CachedGlyph& glyph = glyphFor(static_cast<unsigned char>(c));
        if (glyph.state != 1)
            return false;
        codes.push_back(glyph.code);
    }
    return true;
}

void PageLayout::drawAscii(double left, double baseline, std::string_view text)
{
    if (asciiCodes(text, m_asciiCodes)) {
        m_document.drawCodes(*m_mainFont, left, baseline, m_asciiCodes.data(), m_asciiCodes.size());
        return;
    }
    m_rows.clear();
    m_shaper.layOut(text, 1e9, m_rows);
    for (const LineShaper::Row& row : m_rows)
        m_document.drawRow(left + row.left, baseline, row.glyphs, text);
}

void PageLayout::drawRowCodes(double baseline, const std::uint16_t* codes, std::size_t count)
{
    m_document.drawCodes(*m_mainFont, m_left, baseline, codes, count);
}

// The header is drawn before the page's first row, where a reader of the page meets it. The line numbers are
// drawn after the page's last row, all in one stretch of furniture: one number before each row would cost a
// marked-content sequence, a return to black and back to the row's colour on every row, several times the
// bytes of the number itself. Readers that keep furniture give the numbers back after the page's text.
void PageLayout::drawGutter()
{
    if (m_pageNumbers.empty())
        return;
    m_document.setColour(kBlack);
    m_document.beginArtifact();
    // Some readers end a line of text only where the pen moves down, and would run the last row's last word into
    // the first number, up at the top: from the row below the last one, the move up ends that row for them too.
    m_document.moveToRow(m_left, kMarginTopBottom + m_ascent + m_rowsOnPage * m_lineHeight);
    for (const PageNumber& each : m_pageNumbers)
        drawLineNumber(each.baseline, each.number);
    m_document.endArtifact();
    m_pageNumbers.clear();
}

void PageLayout::drawLineNumber(double baseline, std::uint64_t number)
{
    // The rows of one source line show the same number: its codes are looked up once.
    if (number != m_numberShown) {
        // The number's characters, written from the right without a string of their own.
        char digits[24];
        char* const end = digits + sizeof digits;
        char* first = end;
        // The blank column as a space of its own: readers that keep the number then keep it apart from the text.
        *--first = ' ';
        std::uint64_t rest = number;
        do {
            *--first = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest > 0);
        const auto shown = static_cast<std::size_t>(end - first);
        m_numberText.assign(first, shown);
        m_numberLeft = kMarginLeftRight + (m_gutterDigits - static_cast<double>(shown - 1)) * m_digitAdvance;
        m_numberInMainFont = asciiCodes(m_numberText, m_numberCodes);
        m_numberShown = number;
    }
    // Right-aligned with its blank column, the number ends where the row's text begins, whatever its length.
    if (m_numberInMainFont)
        m_document.drawCodes(*m_mainFont, m_numberLeft, baseline, m_numberCodes.data(), m_numberCodes.size());
    else
        drawAscii(m_numberLeft, baseline, m_numberText);
}

void PageLayout::drawHeader()
{
    m_document.setColour(kBlack);
    m_document.beginArtifact();
    const double baseline = kMarginTopBottom - 2 * m_lineHeight + m_ascent;
    if (!m_nameRow.glyphs.empty())
        m_document.drawRow(kMarginLeftRight + m_nameRow.left, baseline, m_nameRow.glyphs, m_name);
    if (!m_modified.empty()) {
        const double centre = m_paper.width / 2;
        drawAscii(centre - static_cast<double>(m_modified.size()) * m_digitAdvance / 2, baseline, m_modified);
    }
    m_document.endArtifact();
    m_pageNumberForms.push_back(m_document.placeLaterForm());
}

void PageLayout::writePageNumbers()
{
    if (m_pageNumbersWritten)
        return;
    m_pageNumbersWritten = true;
    if (m_pageNumberForms.empty())
        return;
    if (!m_mainFont)
        m_mainFont = &m_document.font(FontSet::kMainFace);
    const std::string total = std::to_string(m_pageNumberForms.size());
    const double right = m_paper.width - kMarginLeftRight;
    const double baseline = kMarginTopBottom - 2 * m_lineHeight + m_ascent;
    for (std::size_t i = 0; i < m_pageNumberForms.size(); ++i) {
        m_ascii = "Page " + std::to_string(i + 1) + " of " + total;
        if (!asciiCodes(m_ascii, m_asciiCodes))
            m_asciiCodes.clear();
        const double left = right - static_cast<double>(m_asciiCodes.size()) * m_digitAdvance;
        m_document.writeLaterForm(
            m_pageNumberForms[i], *m_mainFont, left, baseline, m_asciiCodes.data(), m_asciiCodes.size());
    }
}
const PageLayout::CachedGlyph& PageLayout::glyphFor(char32_t cp)
{
    CachedGlyph& entry = m_glyphs[cp];
    if (entry.state != 0)
        return entry;
    entry.state = 2;
    if (!isSimpleCharacter(cp))
        return entry;
    const FontFace& main = m_fonts.face(FontSet::kMainFace);
    const std::uint32_t glyph = main.glyphFor(cp);
    if (glyph == 0 || main.advance(glyph) <= 0)
        return entry;
    std::string text;
    utf8::append(text, cp);
    // The main font is made with its first code: a document that draws nothing embeds no font.
    if (!m_mainFont)
        m_mainFont = &m_document.font(FontSet::kMainFace);
    const std::uint16_t code = m_mainFont->code(glyph, text, main.advance(glyph));
    if (code == 0)
        return entry;
    entry.code = code;
    entry.advance = static_cast<float>(main.advance(glyph) * m_fontSize / main.unitsPerEm());
    entry.state = 1;
    return entry;
}

// At most one character a byte: the scratch space of a line's codes, advances and offsets grows, all together, to
// the longest line, and is filled in place.
void PageLayout::growLineScratch(std::size_t bytes)
{
    if (m_lineCodes.size() < bytes) {
        m_lineCodes.resize(bytes);
        m_lineAdvances.resize(bytes);
        m_lineOffsets.resize(bytes + 1);
    }
}

// The code of a printable ASCII character as wide as the first one looked up, which the main face draws as it
// is; 0 for any other byte.
std::uint16_t PageLayout::asciiRowCode(unsigned char c)
{
    if (c < 0x20 || c > 0x7E)
        return 0;
    const CachedGlyph& glyph = glyphFor(c);
    if (glyph.state != 1)
        return 0;
    if (m_asciiAdvance == 0) {
        m_asciiAdvance = glyph.advance;
        m_asciiRoom = rowRoom(glyph.advance);
    }
    if (glyph.advance != m_asciiAdvance)
        return 0;
    m_asciiRowCodes[c] = glyph.code;
    return glyph.code;
}

// A line of printable ASCII, all as wide as each other, that fits on one row: most lines of an indented XML
// print-out. Its codes are looked up a byte at a time, with no offsets or advances to keep and no row to fill.
// False, with nothing drawn, for any other line; the characters it looked up are those drawPlainLine would.
bool PageLayout::drawAsciiLine(const PrintLine& printLine)
{
    const std::string_view line = printLine.text;
    if (m_asciiAdvance > 0 && line.size() > m_asciiRoom)
        return false;
    growLineScratch(line.size());
    std::uint16_t* const codes = m_lineCodes.data();
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = p[i];
        std::uint16_t code = c < m_asciiRowCodes.size() ? m_asciiRowCodes[c] : 0;
        if (code == 0 && (code = asciiRowCode(c)) == 0)
            return false;
        codes[i] = code;
    }
    if (line.size() > m_asciiRoom)
        return false;
    m_oneByteEach = true;
    if (printLine.spans.empty()) {
        m_document.setColour(kBlack);
        drawRowCodes(nextRowBaseline(), codes, line.size());
    } else {
        std::size_t spanIndex = 0;
        drawStyledCodes(nextRowBaseline(), 0, line.size(), printLine.spans, spanIndex, line);
    }
    return true;
}

bool PageLayout::drawPlainLine(const PrintLine& printLine)
{
    const std::string_view line = printLine.text;
    growLineScratch(line.size());
    std::uint16_t* const codes = m_lineCodes.data();
    float* const advances = m_lineAdvances.data();
    std::uint32_t* const offsets = m_lineOffsets.data();
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::size_t count = 0;
    bool mixedAdvances = false;
    std::size_t i = 0;
    while (i < line.size()) {
        char32_t cp = p[i];
        int length = 1;
        if (cp >= 0x80) {
            length = utf8::sequenceLength(p + i, line.size() - i);
            if (length <= 0)
                return false;
            cp = utf8::decode(p + i, length);
            if (cp >= kCachedRange)
                return false;
        }
        const CachedGlyph* glyph = &m_glyphs[cp];
        if (glyph->state == 0)
            glyph = &glyphFor(cp);
        if (glyph->state != 1)
            return false;
        codes[count] = glyph->code;
        advances[count] = glyph->advance;
        mixedAdvances |= glyph->advance != advances[0];
        offsets[count] = static_cast<std::uint32_t>(i);
        ++count;
        i += static_cast<std::size_t>(length);
    }
    offsets[count] = static_cast<std::uint32_t>(line.size());
    m_oneByteEach = count == line.size();
    if (printLine.spans.empty())
        m_document.setColour(kBlack);

    // Fill rows: break after the last space that fits; a word longer than the row is broken between
    // characters; spaces at the end of a row may hang past the margin.
    const std::size_t room = count > 0 && !mixedAdvances ? rowRoom(advances[0]) : 0;
    auto isSpace = [&](std::size_t index) { return p[offsets[index]] == ' '; };
    std::size_t rowStart = 0;
    std::size_t spanIndex = 0;
    while (rowStart < count) {
        std::size_t end = rowStart;
        if (room > 0) {
            // Characters all as wide as each other: the first past the room that is not a space ends the row,
            // which then ends after its last space, if it has one.
            end = std::min(count, rowStart + room);
            while (end < count && isSpace(end))
                ++end;
            if (end < count) {
                std::size_t afterLastSpace = end;
                while (afterLastSpace > rowStart && !isSpace(afterLastSpace - 1))
                    --afterLastSpace;
                if (afterLastSpace > rowStart)
                    end = afterLastSpace;
            }
        } else {
            double x = 0;
            std::size_t afterLastSpace = 0;
            while (end < count) {
                const bool space = isSpace(end);
                if (!space && x + advances[end] > m_width + 1e-6 && end > rowStart) {
                    if (afterLastSpace > rowStart)
                        end = afterLastSpace;
                    break;
                }
                x += advances[end];
                ++end;
                if (space)
                    afterLastSpace = end;
            }
        }
        if (printLine.spans.empty())
            drawRowCodes(nextRowBaseline(), codes + rowStart, end - rowStart);
        else
            drawStyledCodes(nextRowBaseline(), rowStart, end, printLine.spans, spanIndex, line);
        rowStart = end;
    }
    return true;
}

// How many characters of `advance` a row holds before one that is not a space must start the next: the sums
// that the row filling above adds up, so that both ways break a row at the same place. Worked out once for
// each advance; 0 (fill by the sums) for an advance too small to count this way.
std::size_t PageLayout::rowRoom(float advance)
{
    constexpr std::size_t kMaxRoom = 1 << 16;
    if (advance == m_roomAdvance)
        return m_room;
    double x = 0;
    std::size_t room = 0;
    while (room < kMaxRoom && !(x + advance > m_width + 1e-6)) {
        x += advance;
        ++room;
    }
    m_roomAdvance = advance;
    m_room = room == kMaxRoom ? 0 : std::max<std::size_t>(room, 1);
    return m_room;
}

void PageLayout::drawStyledCodes(double baseline, std::size_t begin, std::size_t end, std::span<const StyleSpan> spans,
    std::size_t& spanIndex, std::string_view line)
{
    // Runs of one colour, each a string of codes after the last; a space shows no ink, so it joins any run.
    bool positioned = false;
    std::size_t runStart = begin;
    bool runInked = false; // the run holds more than spaces
    auto flush = [&](std::size_t runEnd) {
        runInked = false;
        if (runEnd == runStart)
            return;
        if (!positioned)
            drawRowCodes(baseline, m_lineCodes.data() + runStart, runEnd - runStart);
        else
            m_document.drawMoreCodes(m_lineCodes.data() + runStart, runEnd - runStart);
        positioned = true;
        runStart = runEnd;
    };
    // The colour is looked up once a stretch of one style, not once a character: every character up to the
    // stretch's end takes the colour of its first one that shows ink.
    std::optional<TextStyle> current;
    std::size_t i = begin;
    while (i < end) {
        const std::size_t offset = m_oneByteEach ? i : m_lineOffsets[i];
        if (line[offset] == ' ') {
            ++i;
            continue;
        }
        while (spanIndex < spans.size() && spans[spanIndex].end <= offset)
            ++spanIndex;
        const bool styled = spanIndex < spans.size() && spans[spanIndex].begin <= offset;
        const TextStyle style = styled ? spans[spanIndex].style : TextStyle::Text;
        if (style != current) {
            const Colour colour = colourOf(style);
            if (!(colour == m_document.colour())) {
                // Spaces before the change (an indented line's indentation) go with the next run.
                if (runInked)
                    flush(i);
                m_document.setColour(colour);
            }
            current = style;
        }
        const std::size_t stretchEnd = styled ? spans[spanIndex].end
            : spanIndex < spans.size()        ? spans[spanIndex].begin
                                              : line.size();
        runInked = true;
        // The stretch ends past this character; in a line of one byte a character, at the character there.
        if (m_oneByteEach)
            i = std::min<std::size_t>(end, stretchEnd);
        else
            for (++i; i < end && m_lineOffsets[i] < stretchEnd;)
                ++i;
    }
    flush(end);
}

} // namespace papyrant
