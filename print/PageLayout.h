#pragma once

#include "print/LineShaper.h"
#include "print/PaperSize.h"
#include "print/PrintLine.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace papyrant {

class FontSet;
class PdfDocument;
class PdfFont;
struct PrintJob;

// Lays one file's lines of text out on the pages of a PDF document in DejaVu Sans Mono, 10 pt unless the job's
// style says otherwise: margins of 1 inch at top and bottom and 1.25 inch at the sides, long lines wrapped at
// the printable width (between words where there is room, else between characters, never with an added
// hyphen). A line whose every character the main face draws as it is, one glyph each, goes straight to glyph
// codes; the others are shaped by LineShaper. Styled stretches of a line are drawn in their colours.
//
// The job's style may ask for the source's line numbers in a gutter left of the text and for a header in the
// top margin: the file's name, its modification time and "Page N of M". Both are marked as page furniture, so
// that they stay out of the text that readers copy. The writer makes one pass, so each page's "Page N of M"
// is a form that is written when the file's pages end and M is known; M counts this layout's pages only.
class PageLayout
{
public:
    static constexpr double kMarginTopBottom = 72.0;
    static constexpr double kMarginLeftRight = 90.0;
    static constexpr double kFontSize = 10.0;

    PageLayout(PdfDocument& document, FontSet& fonts, PaperSize paper);
    PageLayout(PdfDocument& document, FontSet& fonts, const PrintJob& job);
    ~PageLayout();
    PageLayout(const PageLayout&) = delete;
    PageLayout& operator=(const PageLayout&) = delete;

    // One line of valid UTF-8 without line breaks or control characters.
    void addLine(std::string_view line)
    {
        addLine(PrintLine { line, {}, 0 });
    }
    void addLine(const PrintLine& line);
    // Ends the last page and writes the pages' "Page N of M"; a document without a line still gets one blank
    // page.
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
    void growLineScratch(std::size_t bytes);
    std::uint16_t asciiRowCode(unsigned char c);
    bool drawAsciiLine(const PrintLine& line);
    bool drawPlainLine(const PrintLine& line);
    std::size_t rowRoom(float advance);
    void drawStyledCodes(double baseline, std::size_t begin, std::size_t end, std::span<const StyleSpan> spans,
        std::size_t& spanIndex, std::string_view line);
    double nextRowBaseline();
    void endPage();
    void setUpHeader(const PrintJob& job);
    void drawGutter();
    void drawLineNumber(double baseline, std::uint64_t number);
    void drawHeader();
    bool asciiCodes(std::string_view text, std::vector<std::uint16_t>& codes);
    void drawAscii(double left, double baseline, std::string_view text);
    void drawRowCodes(double baseline, const std::uint16_t* codes, std::size_t count);
    void writePageNumbers();

    PdfDocument& m_document;
    FontSet& m_fonts;
    PdfFont* m_mainFont = nullptr;
    double m_fontSize = kFontSize;
    LineShaper m_shaper;
    PaperSize m_paper;
    double m_ascent = 0;
    double m_lineHeight = 0;
    double m_left = kMarginLeftRight; // of the text, right of the gutter when there is one
    double m_width = 0;
    double m_digitAdvance = 0; // of the main face's digits, which are all alike
    int m_rowsPerPage = 1;
    int m_rowsOnPage = 0;
    int m_pages = 0;
    std::vector<CachedGlyph> m_glyphs;
    // Line numbers: how many digits the gutter holds, and the number the next row shows.
    bool m_lineNumbers = false;
    int m_gutterDigits = 0;
    std::uint64_t m_pendingNumber = 0;
    // The number drawn last (0 for none yet), as text with its blank column, where it starts, and its codes when
    // the main font draws it all.
    std::uint64_t m_numberShown = 0;
    std::string m_numberText;
    double m_numberLeft = 0;
    std::vector<std::uint16_t> m_numberCodes;
    bool m_numberInMainFont = false;
    // The numbers of the page's rows, drawn when the page ends.
    struct PageNumber
    {
        double baseline;
        std::uint64_t number;
    };
    std::vector<PageNumber> m_pageNumbers;
    // The header: the file's name shaped once, the time, and each page's form for "Page N of M".
    bool m_header = false;
    std::string m_name;
    LineShaper::Row m_nameRow;
    std::string m_modified;
    std::vector<int> m_pageNumberForms;
    bool m_pageNumbersWritten = false;
    // Scratch space, kept between lines.
    std::vector<std::uint16_t> m_lineCodes;
    std::vector<float> m_lineAdvances;
    std::vector<std::uint32_t> m_lineOffsets; // byte offset of each character, and the line's length at the end
    bool m_oneByteEach = false; // the line's characters are one byte each: character i is at offset i
    std::vector<LineShaper::Row> m_rows;
    float m_roomAdvance = 0; // the advance whose row room m_room is
    std::size_t m_room = 0;
    std::string m_ascii;
    std::vector<std::uint16_t> m_asciiCodes;
    // For lines of printable ASCII: the code of each character as wide as the first one looked up (0 for not
    // looked up yet, or not drawn so), that width, and how many of them a row holds.
    std::array<std::uint16_t, 128> m_asciiRowCodes {};
    float m_asciiAdvance = 0;
    std::size_t m_asciiRoom = 0;
};

} // namespace papyrant
