#pragma once

#include "print/LineShaper.h"
#include "print/PaperSize.h"
#include "print/PrintLine.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace papyrant {

class FontSet;
class PdfDocument;
class PdfFont;

// Lays lines of text out on the pages of a PDF document in DejaVu Sans Mono 10 pt: margins of 1 inch at top
// and bottom and 1.25 inch at the sides, long lines wrapped at the printable width (between words where there
// is room, else between characters, never with an added hyphen). A line whose every character the main face
// draws as it is, one glyph each, goes straight to glyph codes; the others are shaped by LineShaper.
class PageLayout
{
public:
    static constexpr double kMarginTopBottom = 72.0;
    static constexpr double kMarginLeftRight = 90.0;
    static constexpr double kFontSize = 10.0;

    PageLayout(PdfDocument& document, FontSet& fonts, PaperSize paper);

    // One line of valid UTF-8 without line breaks or control characters.
    void addLine(std::string_view line);
    void addLine(const PrintLine& line)
    {
        addLine(line.text);
    }
    // Ends the last page; a document without a line still gets one blank page.
    void finish();

    int pageCount() const
    {
        return m_pages;
    }
    int rowsPerPage() const
    {
        return m_rowsPerPage;
    }

private:
    struct CachedGlyph
    {
        std::uint16_t code = 0;
        float advance = 0;
        std::uint8_t state = 0; // 0 not looked up, 1 plain, 2 needs shaping
    };

    const CachedGlyph& glyphFor(char32_t cp);
    bool drawPlainLine(std::string_view line);
    double nextRowBaseline();

    PdfDocument& m_document;
    FontSet& m_fonts;
    PdfFont* m_mainFont = nullptr;
    LineShaper m_shaper;
    double m_ascent = 0;
    double m_lineHeight = 0;
    double m_width = 0;
    int m_rowsPerPage = 1;
    int m_rowsOnPage = 0;
    int m_pages = 0;
    std::vector<CachedGlyph> m_glyphs;
    // Scratch space, kept between lines.
    std::vector<std::uint16_t> m_lineCodes;
    std::vector<float> m_lineAdvances;
    std::vector<std::uint32_t> m_lineOffsets; // byte offset of each character, and the line's length at the end
    std::vector<LineShaper::Row> m_rows;
};

} // namespace papyrant
