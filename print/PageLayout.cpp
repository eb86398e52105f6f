#include "print/PageLayout.h"

#include "print/FontFallback.h"
#include "print/Utf8.h"

#include <algorithm>
#include <pango/pangocairo.h>

namespace papyrant {

namespace {

constexpr char32_t kCachedRange = 0x2600;

// Characters that DejaVu Sans Mono draws one glyph each, with no shaping, no combining and no change of
// direction; only these may skip Pango.
bool isSimpleCharacter(char32_t cp)
{
    return (cp >= 0x20 && cp <= 0x7E) || (cp >= 0xA0 && cp <= 0x2FF && cp != 0xAD) || (cp >= 0x370 && cp <= 0x482)
        || (cp >= 0x48A && cp <= 0x52F) || (cp >= 0x1E00 && cp <= 0x1FFF) || (cp >= 0x2010 && cp <= 0x2027)
        || (cp >= 0x2030 && cp <= 0x205E) || (cp >= 0x20A0 && cp <= 0x20BF) || (cp >= 0x2100 && cp <= 0x23FF)
        || (cp >= 0x2400 && cp <= 0x2426) || (cp >= 0x2500 && cp <= 0x25FF);
}

} // namespace

PageLayout::PageLayout(cairo_t* cr, PaperSize paper)
    : m_cr(cr)
    , m_paper(paper)
    , m_glyphs(kCachedRange)
{
    m_context = pango_cairo_create_context(cr);
    // A PDF surface measures in points: without this Pango would size everything for 96 dpi.
    pango_cairo_context_set_resolution(m_context, 72.0);
    pango_context_set_round_glyph_positions(m_context, FALSE);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(m_context, options);
    cairo_font_options_destroy(options);

    std::string families = kMainFamily;
    for (const std::string& family : fallbackFamilies(textLocaleFromEnvironment()))
        families += "," + family;
    PangoFontDescription* description = pango_font_description_from_string(families.c_str());
    pango_font_description_set_size(description, static_cast<gint>(kFontSize * PANGO_SCALE));
    m_font = pango_context_load_font(m_context, description);
    if (m_font) {
        PangoFontMetrics* metrics = pango_font_get_metrics(m_font, nullptr);
        m_ascent = pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE);
        m_lineHeight = m_ascent + pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE);
        pango_font_metrics_unref(metrics);
        if (PANGO_IS_CAIRO_FONT(m_font))
            m_scaledFont = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(m_font));
    }
    if (m_lineHeight <= 0) {
        m_ascent = kFontSize * 0.93;
        m_lineHeight = kFontSize * 1.17;
    }

    m_width = paper.width - 2 * kMarginLeftRight;
    m_rowsPerPage = std::max(1, static_cast<int>((paper.height - 2 * kMarginTopBottom) / m_lineHeight));

    m_layout = pango_layout_new(m_context);
    pango_layout_set_font_description(m_layout, description);
    pango_layout_set_width(m_layout, static_cast<int>(m_width * PANGO_SCALE));
    pango_layout_set_wrap(m_layout, PANGO_WRAP_WORD_CHAR);
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
    pango_layout_set_attributes(m_layout, attributes);
    pango_attr_list_unref(attributes);
    pango_font_description_free(description);
}

PageLayout::~PageLayout()
{
    if (m_layout)
        g_object_unref(m_layout);
    if (m_font)
        g_object_unref(m_font);
    if (m_context)
        g_object_unref(m_context);
}

double PageLayout::nextRowBaseline()
{
    if (m_rowsOnPage == m_rowsPerPage) {
        flushPlainRows();
        cairo_show_page(m_cr);
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
    if (!drawPlainLine(line))
        drawShapedLine(line);
}

void PageLayout::finish()
{
    flushPlainRows();
    if (m_rowsOnPage > 0 || m_pages == 0) {
        cairo_show_page(m_cr);
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
    if (!m_scaledFont || !isSimpleCharacter(cp))
        return entry;
    std::string text;
    utf8::append(text, cp);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    const cairo_status_t status = cairo_scaled_font_text_to_glyphs(
        m_scaledFont, 0, 0, text.data(), static_cast<int>(text.size()), &glyphs, &count, nullptr, nullptr, nullptr);
    if (status == CAIRO_STATUS_SUCCESS && count == 1 && glyphs[0].index != 0) {
        cairo_text_extents_t extents;
        cairo_scaled_font_glyph_extents(m_scaledFont, glyphs, 1, &extents);
        if (extents.x_advance > 0) {
            entry.index = static_cast<std::uint32_t>(glyphs[0].index);
            entry.advance = static_cast<float>(extents.x_advance);
            entry.state = 1;
        }
    }
    cairo_glyph_free(glyphs);
    return entry;
}

bool PageLayout::drawPlainLine(std::string_view line)
{
    m_lineGlyphs.clear();
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
        m_lineGlyphs.push_back(glyph.index);
        m_lineAdvances.push_back(glyph.advance);
        m_lineOffsets.push_back(static_cast<std::uint32_t>(i));
        i += static_cast<std::size_t>(length);
    }
    m_lineOffsets.push_back(static_cast<std::uint32_t>(line.size()));

    // Fill rows as Pango's word-or-character wrapping would: break after the last space that fits; a word
    // longer than the row is broken between characters; spaces at the end of a row may hang past the margin.
    const std::size_t count = m_lineGlyphs.size();
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
        drawPlainRow(rowStart, end, line);
        rowStart = end;
    }
    return true;
}

void PageLayout::drawPlainRow(std::size_t firstChar, std::size_t endChar, std::string_view line)
{
    const double baseline = nextRowBaseline();
    double x = kMarginLeftRight;
    for (std::size_t c = firstChar; c < endChar; ++c) {
        m_pageGlyphs.push_back(cairo_glyph_t { m_lineGlyphs[c], x, baseline });
        m_pageClusters.push_back(cairo_text_cluster_t { static_cast<int>(m_lineOffsets[c + 1] - m_lineOffsets[c]), 1 });
        x += m_lineAdvances[c];
    }
    m_pageText.append(line.substr(m_lineOffsets[firstChar], m_lineOffsets[endChar] - m_lineOffsets[firstChar]));
}

void PageLayout::flushPlainRows()
{
    // One call for all plain rows of a page: Cairo's cost is mostly per call, not per glyph.
    if (m_pageGlyphs.empty())
        return;
    cairo_set_scaled_font(m_cr, m_scaledFont);
    cairo_show_text_glyphs(m_cr, m_pageText.data(), static_cast<int>(m_pageText.size()), m_pageGlyphs.data(),
        static_cast<int>(m_pageGlyphs.size()), m_pageClusters.data(), static_cast<int>(m_pageClusters.size()),
        cairo_text_cluster_flags_t(0));
    m_pageGlyphs.clear();
    m_pageClusters.clear();
    m_pageText.clear();
}

void PageLayout::drawShapedLine(std::string_view line)
{
    flushPlainRows(); // keeps the page's text in reading order
    pango_layout_set_text(m_layout, line.data(), static_cast<int>(line.size()));
    for (GSList* item = pango_layout_get_lines_readonly(m_layout); item; item = item->next) {
        auto* row = static_cast<PangoLayoutLine*>(item->data);
        const double baseline = nextRowBaseline();
        cairo_move_to(m_cr, kMarginLeftRight, baseline);
        pango_cairo_show_layout_line(m_cr, row);
    }
}

} // namespace papyrant
