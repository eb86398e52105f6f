#pragma once

#include "print/PaperSize.h"

#include <cairo.h>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFont PangoFont;

namespace papyrant {

// Lays lines of text out on pages of a Cairo surface in DejaVu Sans Mono 10 pt (fontconfig supplies other
// fonts for what it lacks): margins of 1 inch at top and bottom and 1.25 inch at the sides, long lines
// wrapped at the printable width (between words where there is room, else between characters, never with an
// added hyphen). Lines whose every character the monospaced font draws as it is, with no shaping, are drawn
// from cached glyphs; the others go through Pango. Either way the text is attached, so it can be copied back.
class PageLayout
{
public:
    static constexpr double kMarginTopBottom = 72.0;
    static constexpr double kMarginLeftRight = 90.0;
    static constexpr double kFontSize = 10.0;

    PageLayout(cairo_t* cr, PaperSize paper);
    ~PageLayout();
    PageLayout(const PageLayout&) = delete;
    PageLayout& operator=(const PageLayout&) = delete;

    // One line of valid UTF-8 without line breaks or control characters.
    void addLine(std::string_view line);
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
        std::uint32_t index = 0;
        float advance = 0;
        std::uint8_t state = 0; // 0 not looked up, 1 drawable as it is, 2 needs Pango
    };

    const CachedGlyph& glyphFor(char32_t cp);
    bool drawPlainLine(std::string_view line);
    void drawShapedLine(std::string_view line);
    void drawPlainRow(std::size_t firstChar, std::size_t endChar, std::string_view line);
    void flushPlainRows();
    double nextRowBaseline();

    cairo_t* m_cr;
    PaperSize m_paper;
    PangoContext* m_context = nullptr;
    PangoLayout* m_layout = nullptr;
    PangoFont* m_font = nullptr;
    cairo_scaled_font_t* m_scaledFont = nullptr;
    double m_ascent = 0;
    double m_lineHeight = 0;
    double m_width = 0;
    int m_rowsPerPage = 1;
    int m_rowsOnPage = 0;
    int m_pages = 0;
    std::vector<CachedGlyph> m_glyphs;
    // Scratch space of the plain path, kept between lines.
    std::vector<std::uint32_t> m_lineGlyphs;
    std::vector<float> m_lineAdvances;
    std::vector<std::uint32_t> m_lineOffsets; // byte offset of each character, and the line's length at the end
    // Plain rows of the current page, drawn together.
    std::vector<cairo_glyph_t> m_pageGlyphs;
    std::vector<cairo_text_cluster_t> m_pageClusters;
    std::string m_pageText;
};

} // namespace papyrant
