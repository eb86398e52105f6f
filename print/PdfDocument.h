#pragma once

#include "print/PaperSize.h"
#include "print/PdfWriter.h"
#include "print/PlacedGlyph.h"
#include "print/PrintLine.h"
#include "print/StylePalette.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

class ByteSink;
class FontSet;
class PdfFont;

// A print-out as a PDF file, written as it goes: each page is compressed and written when it ends, and the
// fonts, the page tree and the cross-reference table when the document ends, so memory does not grow with
// the number of pages; so does the outline of a document of many files, a few bytes per file. Every page's text is one
// text object with one absolute position per row.
class PdfDocument
{
public:
    PdfDocument(ByteSink& sink, PaperSize paper, const std::string& title, const std::string& creator, FontSet& fonts,
        double fontSize);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // The paper and font size of the pages from the next one on (a document may hold several files' pages,
    // each file with its own); only between pages.
    void setPageFormat(PaperSize paper, double fontSize);

    // Draws a row of glyphs whose left edge is `left` points from the page's left and whose baseline is
    // `baseline` points below its top; the glyphs' texts are ranges of `text`, and each glyph takes the colour
    // of the style of its text's first byte in `spans`. A row set in from where its lines start (`lineLeft`,
    // when not negative), as a right-to-left row flush right is, starts its show there with a space.
    void drawRow(double left, double baseline, const std::vector<PlacedGlyph>& glyphs, std::string_view text,
        std::span<const StyleSpan> spans = {}, double lineLeft = -1);

    // The quick way for rows of one face with no shaping: `code` gives the code that draws a character.
    PdfFont& font(int face);
    void drawCodes(PdfFont& font, double left, double baseline, const std::uint16_t* codes, std::size_t count);
    // Draws more codes of the last drawCodes' font right after what it drew.
    void drawMoreCodes(const std::uint16_t* codes, std::size_t count);
    // Moves the pen to where a row at `left` and `baseline` would start, drawing nothing.
    void moveToRow(double left, double baseline);

    // Rows placed relative to the row before (Td) rather than each at its own place (Tm): smaller pages, for
    // print-outs that need not match the plain one byte for byte. Plain (Tm) unless set.
    void setRelativeMoves(bool relative);
    // How far apart rows are: with relative moves, a row right below the last one is placed with "T*".
    void setRowLeading(double leading);

    // The ink of what is drawn next; a page starts black.
    void setColour(Colour colour);
    Colour colour() const
    {
        return m_colour;
    }

    // What is drawn between these two is page furniture (a running header, line numbers), which readers that
    // honour tags leave out of the text they copy.
    void beginArtifact();
    void endArtifact();

    // Places on this page, as furniture, a form whose content is not known yet: a number for writeLaterForm.
    int placeLaterForm();
    // Writes a form placed with placeLaterForm: one string of codes of `font` at `left` and `baseline`, in black.
    void writeLaterForm(
        int form, PdfFont& font, double left, double baseline, const std::uint16_t* codes, std::size_t count);

    // Ends the page (a page with nothing drawn stays blank).
    void endPage();
    int pageCount() const
    {
        return static_cast<int>(m_pages.size());
    }

    // A document of several files gives each one a section from the next page on: a bookmark with `title` that
    // leads to its first page, and page labels that count from 1 again.
    void beginSection(const std::string& title);
    // Leaves the section begun last out of the document, with its pages and the page it had begun: a file that
    // failed part-way shows nothing of itself. The objects already written stay in the file, unreachable.
    void dropSection();

    // Whether the bytes have been written well so far.
    bool ok() const
    {
        return m_writer.ok();
    }
    // Writes the fonts and the end of the file; false with problem set when that fails.
    bool finish(std::string& problem);

private:
    PdfFont& newFont(int face);
    void beginText();
    void setFont(PdfFont& font);
    void closeShow();
    void moveTo(double x, double y);
    std::string outline();
    std::string pageLabels() const;

    struct Section
    {
        std::string title;
        std::size_t firstPage;
    };
    void endText();
    std::string pageResources();
    std::string inkResource() const;

    PdfWriter m_writer;
    PaperSize m_paper;
    FontSet& m_fonts;
    double m_fontSize;
    int m_catalog;
    int m_pageTree;
    int m_resources;
    int m_info;
    std::string m_trailer; // the trailer's /Info and /ID
    std::vector<int> m_pages;
    std::vector<Section> m_sections;
    std::vector<std::unique_ptr<PdfFont>> m_allFonts;
    std::vector<PdfFont*> m_fontOfFace; // the font that takes a face's new codes
    int m_fontDictionary = 0; // the fonts as an object of its own, for pages with resources of their own
    std::string m_content;
    std::vector<int> m_pageForms; // the forms placed on this page
    std::vector<std::uint16_t> m_glyphCodes; // the codes of the glyph being drawn
    Colour m_colour = kBlack;
    int m_inkSpace = 0; // the styles' inks as a colour space, once a page uses one
    bool m_inkSpaceSet = false; // the page's fill colour space is the inks
    // The state of the page's text object.
    bool m_inText = false;
    bool m_inArray = false;
    bool m_inString = false;
    PdfFont* m_currentFont = nullptr;
    double m_penX = 0;
    double m_penY = 0;
    bool m_relativeMoves = false;
    // Where the text object's current row starts, in hundredths of a point, for relative moves; a row placed with
    // "T*" may start between two hundredths.
    std::int64_t m_lineX = 0;
    double m_lineY = 0;
    double m_rowLeading = 0; // in hundredths of a point; 0 for none
    bool m_leadingSet = false; // "TL" written in this text object
};

} // namespace papyrant
