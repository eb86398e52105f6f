#include "print/PageLayout.h"

#include "print/FontSet.h"
#include "print/PdfDocument.h"
#include "print/PdfFont.h"
#include "text/Utf8.h"

#include <algorithm>

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

} // namespace

PageLayout::PageLayout(PdfDocument& document, FontSet& fonts, PaperSize paper)
    : m_document(document)
    , m_fonts(fonts)
    , m_shaper(fonts, kFontSize)
    , m_glyphs(kCachedRange)
{
    const FontFace& main = fonts.face(FontSet::kMainFace);
    m_ascent = main.ascender() * kFontSize / main.unitsPerEm();
    m_lineHeight = m_ascent - main.descender() * kFontSize / main.unitsPerEm();
    if (m_lineHeight <= 0) {
        m_ascent = kFontSize * 0.93;
        m_lineHeight = kFontSize * 1.17;
    }
    m_width = paper.width - 2 * kMarginLeftRight;
    m_rowsPerPage = std::max(1, static_cast<int>((paper.height - 2 * kMarginTopBottom) / m_lineHeight));
}

double PageLayout::nextRowBaseline()
{
    if (m_rowsOnPage == m_rowsPerPage) {
        m_document.endPage();
        ++m_pages;
        m_rowsOnPage = 0;
    }
    const double baseline = kMarginTopBottom + m_ascent + m_rowsOnPage * m_lineHeight;
    ++m_rowsOnPage;
    return baseline;
}

void PageLayout::addLine(std::string_view line)
{
    if (line.empty()) {
        nextRowBaseline();
        return;
    }
    if (drawPlainLine(line))
        return;
    m_rows.clear();
    m_shaper.layOut(line, m_width, m_rows);
    for (const LineShaper::Row& row : m_rows)
        m_document.drawRow(kMarginLeftRight + row.left, nextRowBaseline(), row.glyphs, line);
}

void PageLayout::finish()
{
    if (m_rowsOnPage > 0 || m_pages == 0) {
        m_document.endPage();
        ++m_pages;
        m_rowsOnPage = 0;
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
    entry.advance = static_cast<float>(main.advance(glyph) * kFontSize / main.unitsPerEm());
    entry.state = 1;
    return entry;
}

bool PageLayout::drawPlainLine(std::string_view line)
{
    m_lineCodes.clear();
    m_lineAdvances.clear();
    m_lineOffsets.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::size_t i = 0;
    while (i < line.size()) {
        char32_t cp = p[i];
        int length = 1;
        if (cp >= 0x80) {
            length = utf8::sequenceLength(p + i, line.size() - i);
            if (length <= 0)
                return false;
            cp = utf8::decode(p + i, length);
        }
        if (cp >= kCachedRange)
            return false;
        const CachedGlyph& glyph = glyphFor(cp);
        if (glyph.state != 1)
            return false;
        m_lineCodes.push_back(glyph.code);
        m_lineAdvances.push_back(glyph.advance);
        m_lineOffsets.push_back(static_cast<std::uint32_t>(i));
        i += static_cast<std::size_t>(length);
    }
    m_lineOffsets.push_back(static_cast<std::uint32_t>(line.size()));

    // Fill rows: break after the last space that fits; a word longer than the row is broken between
    // characters; spaces at the end of a row may hang past the margin.
    const std::size_t count = m_lineCodes.size();
    std::size_t rowStart = 0;
    while (rowStart < count) {
        double x = 0;
        std::size_t end = rowStart;
        std::size_t afterLastSpace = 0;
        while (end < count) {
            const bool space = line[m_lineOffsets[end]] == ' ';
            if (!space && x + m_lineAdvances[end] > m_width + 1e-6 && end > rowStart) {
                if (afterLastSpace > rowStart)
                    end = afterLastSpace;
                break;
            }
            x += m_lineAdvances[end];
            ++end;
            if (space)
                afterLastSpace = end;
        }
        m_document.drawCodes(
            *m_mainFont, kMarginLeftRight, nextRowBaseline(), m_lineCodes.data() + rowStart, end - rowStart);
        rowStart = end;
    }
    return true;
}

} // namespace papyrant
