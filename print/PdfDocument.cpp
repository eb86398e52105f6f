#include "print/PdfDocument.h"

#include "print/FontSet.h"
#include "print/PdfFont.h"
#include "print/PdfSyntax.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

#ifndef PAPYRANT_VERSION
#define PAPYRANT_VERSION "unknown"
#endif

namespace papyrant {

namespace {

constexpr std::size_t kFastPages = 4;

// The time as the information dictionary's dates give it, in UTC.
std::string pdfDate(std::time_t now)
{
    std::tm utc {};
    gmtime_r(&now, &utc);
    char date[80];
    std::snprintf(date, sizeof date, "(D:%04d%02d%02d%02d%02d%02dZ)", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
        utc.tm_hour, utc.tm_min, utc.tm_sec);
    return date;
}

// A file identifier: 16 bytes that no other file shares, from the system's random source and the time.
std::string fileIdentifier(std::time_t now)
{
    std::random_device random;
    std::seed_seq seed { random(), random(), random(), random(), static_cast<unsigned>(now),
        static_cast<unsigned>(static_cast<std::uint64_t>(now) >> 32) };
    std::mt19937 generator(seed);
    std::string id = "<";
    for (int i = 0; i < 4; ++i) {
        const unsigned word = generator();
        pdf::appendHex16(id, word >> 16);
        pdf::appendHex16(id, word & 0xFFFF);
    }
    id.push_back('>');
    return id;
}

// A number of hundredths as pdf::appendNumber writes it with two decimals ("12.04", "-11.6", "0"), without going
// through a double: rows of furnished print-outs move by such numbers twice each.
void appendHundredths(std::string& out, std::int64_t hundredths)
{
    if (hundredths < 0) {
        out.push_back('-');
        hundredths = -hundredths;
    }
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, hundredths / 100).ptr;
    const auto fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        *end++ = '.';
        *end++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            *end++ = static_cast<char>('0' + fraction % 10);
    }
    out.append(digits, end);
}

// std::llround for a page's coordinates, which are far inside the range of an int64, without a call into the
// maths library: every row is placed with two or three of these. Exact: the fraction is found without rounding.
std::int64_t roundHalfAway(double value)
{
    const auto whole = static_cast<std::int64_t>(value);
    const double fraction = value - static_cast<double>(whole);
    if (fraction >= 0.5)
        return whole + 1;
    if (fraction <= -0.5)
        return whole - 1;
    return whole;
}

} // namespace

PdfDocument::PdfDocument(ByteSink& sink, PaperSize paper, const std::string& title, const std::string& creator,
    FontSet& fonts, double fontSize)
    : m_writer(sink)
    , m_paper(paper)
    , m_fonts(fonts)
    , m_fontSize(fontSize)
    , m_catalog(m_writer.reserve())
    , m_pageTree(m_writer.reserve())
    , m_resources(m_writer.reserve())
    , m_info(m_writer.reserve())
{
    const std::time_t now = std::time(nullptr);
    const std::string date = pdfDate(now);
    m_writer.writeObject(m_info,
        "<</Title" + pdf::textString(title) + "/Creator" + pdf::textString(creator)
            + "/Producer(Papyrant " PAPYRANT_VERSION ")/CreationDate" + date + "/ModDate" + date + ">>");
    // Both halves alike: the file is new, not a changed copy of another.
    const std::string id = fileIdentifier(now);
    m_trailer = "/Info " + pdf::reference(m_info) + "/ID[" + id + id + "]";
}

PdfDocument::~PdfDocument() = default;

PdfFont& PdfDocument::newFont(int face)
{
    // Appended, not "F" + ...: GCC 12 at -O3 takes that for an overlapping copy (a false -Wrestrict).
    std::string name = "F";
    name += std::to_string(m_allFonts.size() + 1);
    m_allFonts.push_back(std::make_unique<PdfFont>(m_fonts.face(face), m_writer.reserve(), name));
    if (m_fontOfFace.size() <= static_cast<std::size_t>(face))
        m_fontOfFace.resize(static_cast<std::size_t>(face) + 1, nullptr);
    m_fontOfFace[static_cast<std::size_t>(face)] = m_allFonts.back().get();
    return *m_allFonts.back();
}

PdfFont& PdfDocument::font(int face)
{
    const auto index = static_cast<std::size_t>(face);
    if (index < m_fontOfFace.size() && m_fontOfFace[index])
        return *m_fontOfFace[index];
    return newFont(face);
}

void PdfDocument::setPageFormat(PaperSize paper, double fontSize)
{
    m_paper = paper;
    if (fontSize != m_fontSize)
        m_currentFont = nullptr;
    m_fontSize = fontSize;
}

void PdfDocument::closeShow()
{
    if (m_inString) {
        m_content.push_back(')');
        m_inString = false;
    }
    if (m_inArray) {
        m_content += "]TJ\n";
        m_inArray = false;
    }
}

void PdfDocument::beginText()
{
    if (!m_inText) {
        m_content += "BT\n";
        m_inText = true;
        m_lineX = 0;
        m_lineY = 0;
        m_leadingSet = false;
    }
}

void PdfDocument::endText()
{
    closeShow();
    if (m_inText)
        m_content += "ET\n";
    m_inText = false;
    m_currentFont = nullptr;
}

void PdfDocument::setColour(Colour colour)
{
    if (colour == m_colour)
        return;
    closeShow();
    // The styles' inks are an indexed colour space: a coloured print-out changes ink several times a line, and
    // "3 sc" says in 5 bytes what "0.698 0.133 0.133 rg" says in 20.
    const auto ink = std::find(kStyleColours.begin(), kStyleColours.end(), colour);
    if (ink == kStyleColours.end()) {
        for (const std::uint8_t channel : { colour.red, colour.green, colour.blue }) {
            pdf::appendNumber(m_content, channel / 255.0);
            m_content.push_back(' ');
        }
        m_content += "rg\n";
        m_inkSpaceSet = false;
    } else {
        if (!m_inkSpaceSet) {
            if (m_inkSpace == 0) {
                m_inkSpace = m_writer.reserve();
                std::string palette = "[/Indexed/DeviceRGB " + std::to_string(kStyleColours.size() - 1) + "<";
                for (const Colour& each : kStyleColours) {
                    for (const std::uint8_t channel : { each.red, each.green, each.blue })
                        pdf::appendHex(palette, channel, 2);
                }
                m_writer.writeObject(m_inkSpace, palette + ">]");
            }
            m_content += "/Ink cs\n";
            m_inkSpaceSet = true;
        }
        static_assert(kStyleColours.size() <= 10, "an ink's number is one digit");
        const char setInk[] = { static_cast<char>('0' + (ink - kStyleColours.begin())), ' ', 's', 'c', '\n' };
        m_content.append(setInk, sizeof setInk);
    }
    m_colour = colour;
}

void PdfDocument::beginArtifact()
{
    // Inside the text object, so that the sequence and the object nest.
    beginText();
    closeShow();
    m_content += "/Artifact BMC\n";
}

void PdfDocument::endArtifact()
{
    closeShow();
    m_content += "EMC\n";
}

int PdfDocument::placeLaterForm()
{
    endText();
    const int form = m_writer.reserve();
    m_pageForms.push_back(form);
    m_content += "/Artifact BMC /L";
    m_content += std::to_string(m_pageForms.size());
    m_content += " Do EMC\n";
    return form;
}

void PdfDocument::writeLaterForm(
    int form, PdfFont& font, double left, double baseline, const std::uint16_t* codes, std::size_t count)
{
    std::string content = "0 g BT /";
    content += font.resourceName();
    content.push_back(' ');
    pdf::appendNumber(content, m_fontSize);
    content += " Tf 1 0 0 1 ";
    pdf::appendNumber(content, left, 2);
    content.push_back(' ');
    pdf::appendNumber(content, m_paper.height - baseline, 2);
    content += " Tm (";
    for (std::size_t i = 0; i < count; ++i)
        PdfFont::appendCode(content, codes[i]);
    content += ")Tj ET\n";
    std::string box;
    pdf::appendNumber(box, m_paper.width, 4);
    box.push_back(' ');
    pdf::appendNumber(box, m_paper.height, 4);
    m_writer.writeStream(form,
        "/Type/XObject/Subtype/Form/BBox[0 0 " + box + "]/Resources " + pdf::reference(m_resources), std::move(content),
        PdfWriter::Compression::None);
}

void PdfDocument::setFont(PdfFont& font)
{
    beginText();
    if (m_currentFont == &font)
        return;
    closeShow();
    m_content.push_back('/');
    m_content += font.resourceName();
    m_content.push_back(' ');
    pdf::appendNumber(m_content, m_fontSize);
    m_content += " Tf\n";
    m_currentFont = &font;
}

void PdfDocument::setRowLeading(double leading)
{
    // As the reader takes it: four decimals, in hundredths of a point.
    m_rowLeading = std::round(leading * 10000) / 100;
}

void PdfDocument::setRelativeMoves(bool relative)
{
    if (relative != m_relativeMoves)
        endText();
    m_relativeMoves = relative;
}

void PdfDocument::moveTo(double x, double y)
{
    closeShow();
    if (m_relativeMoves) {
        // From the start of the last row, in hundredths of a point as Tm would place it: the same spot, in
        // about half the bytes.
        const std::int64_t toX = roundHalfAway(x * 100);
        if (toX == m_lineX && m_rowLeading > 0 && roundHalfAway(y * 100 - (m_lineY - m_rowLeading)) == 0) {
            // The next row straight below: "T*" in 3 bytes, once the leading is set for the text object.
            if (!m_leadingSet) {
                pdf::appendNumber(m_content, m_rowLeading / 100, 4);
                m_content += " TL\n";
                m_leadingSet = true;
            }
            m_content += "T*\n";
            m_lineY -= m_rowLeading;
        } else {
            const std::int64_t byY = roundHalfAway(y * 100) - roundHalfAway(m_lineY);
            appendHundredths(m_content, toX - m_lineX);
            m_content.push_back(' ');
            appendHundredths(m_content, byY);
            m_content += " Td\n";
            m_lineX = toX;
            m_lineY += static_cast<double>(byY);
        }
    } else {
        m_content += "1 0 0 1 ";
        pdf::appendNumber(m_content, x, 2);
        m_content.push_back(' ');
        pdf::appendNumber(m_content, y, 2);
        m_content += " Tm\n";
    }
    m_penX = x;
    m_penY = y;
}

void PdfDocument::drawCodes(PdfFont& font, double left, double baseline, const std::uint16_t* codes, std::size_t count)
{
    setFont(font);
    moveTo(left, m_paper.height - baseline);
    m_content.push_back('(');
    PdfFont::appendCodes(m_content, codes, count);
    m_content += ")Tj\n";
}

void PdfDocument::moveToRow(double left, double baseline)
{
    beginText();
    moveTo(left, m_paper.height - baseline);
}

void PdfDocument::drawMoreCodes(const std::uint16_t* codes, std::size_t count)
{
    m_content.push_back('(');
    PdfFont::appendCodes(m_content, codes, count);
    m_content += ")Tj\n";
}

void PdfDocument::drawRow(double left, double baseline, const std::vector<PlacedGlyph>& glyphs, std::string_view text,
    std::span<const StyleSpan> spans, double lineLeft)
{
    // PDFium takes a page for vertical text when its text objects leave a gap across it wider than a fifth of
    // the width they span, and then gives each show of one glyph a line of its own: a right-to-left paragraph's
    // rows flush right beside short left-to-right ones leave such a gap. A space where the line starts, in the
    // row's first show, makes the row's text object reach across as a left-flush row's does; it draws nothing.
    bool lead = lineLeft >= 0 && left - lineLeft > 0.01;
    const double rowY = m_paper.height - baseline;
    bool moved = false;
    bool held = false; // a glyph of the open span held the pen
    bool afterRightToLeft = false; // no letter or digit since a right-to-left show
    for (const PlacedGlyph& glyph : glyphs) {
        // A space shows no ink, so it keeps whatever colour is current.
        if (!spans.empty() && glyph.textLength > 0 && text[glyph.textBegin] != ' ') {
            const auto after = std::upper_bound(spans.begin(), spans.end(), glyph.textBegin,
                [](std::uint32_t offset, const StyleSpan& span) { return offset < span.begin; });
            const bool styled = after != spans.begin() && glyph.textBegin < std::prev(after)->end;
            setColour(styled ? colourOf(std::prev(after)->style) : kBlack);
        }
        const std::string_view codeText = text.substr(glyph.textBegin, glyph.textLength);
        const int face = glyph.face == FontSet::kNoFace ? FontSet::kMainFace : glyph.face;
        PdfFont* font = &this->font(face);
        m_glyphCodes.clear();
        // A glyph that holds the pen is shown with character spacing that takes its own code's width back: its
        // further codes take no room, and follow it where it is drawn.
        if (!font->codes(glyph.glyph, codeText, glyph.advance, !glyph.holdsPen, m_glyphCodes)) {
            font = &newFont(face);
            // A text of more characters than a font has codes keeps one code for all of it.
            if (!font->codes(glyph.glyph, codeText, glyph.advance, !glyph.holdsPen, m_glyphCodes))
                m_glyphCodes.push_back(font->code(glyph.glyph, codeText, glyph.advance));
        }
        const std::uint16_t code = m_glyphCodes.front();
        bool stepAside = false;
        if (glyph.startsTextObject) {
            endText();
            moved = false;
            stepAside = true;
        }
        // A show of its own sets its font again: pypdf 3.4 puts each right-to-left character before the text it
        // holds since its last font change, so a run drawn in reading order came back letter by letter reversed.
        // It does the same with punctuation until the next letter or digit ("</name>" after the run came back as
        // "/<name>"), so each punctuation glyph up to there sets the font again too.
        if (glyph.startsShow) {
            moved = false;
            m_currentFont = nullptr;
            afterRightToLeft = true;
        } else if (afterRightToLeft && glyph.textLength > 0) {
            const auto first = static_cast<unsigned char>(text[glyph.textBegin]);
            const bool digit = first >= '0' && first <= '9';
            const bool letter = (first | 0x20) >= 'a' && (first | 0x20) <= 'z';
            afterRightToLeft = first < 0x80 && !digit && !letter;
            if (afterRightToLeft)
                m_currentFont = nullptr;
        }
        if (glyph.spanLength > 0) {
            closeShow();
            beginText();
            m_content += "/Span<</ActualText";
            m_content += pdf::textString(text.substr(glyph.spanBegin, glyph.spanLength));
            m_content += ">>BDC\n";
        }
        setFont(*font);
        const double x = left + glyph.x;
        const double y = rowY + glyph.rise;
        if (lead && !glyph.holdsPen && glyph.spanLength == 0) {
            const FontFace& fontFace = font->face();
            if (const std::uint32_t space = fontFace.glyphFor(U' '); space != 0) {
                const std::uint16_t spaceCode = font->code(space, " ", fontFace.advance(space));
                moveTo(lineLeft, y);
                m_content += "[(";
                PdfFont::appendCode(m_content, spaceCode);
                m_inArray = m_inString = moved = true;
                m_penX = lineLeft + font->width(spaceCode) * m_fontSize / 1000.0;
            }
        }
        lead = false;
        // A glyph that holds the pen is shown alone, with character spacing that takes its code's width back,
        // cut to four decimals so that the pen never goes back.
        const double width = font->width(code) * m_fontSize / 1000.0;
        const double heldBack = glyph.holdsPen ? std::floor(width * 10000) / 10000 : 0;
        if (glyph.holdsPen) {
            closeShow();
            pdf::appendNumber(m_content, -heldBack, 4);
            m_content += " Tc\n";
        }
        // Within a row, after a change of font or colour, the show goes on from where the last one ended: a new
        // text matrix there makes pypdf take the distance from the last one for a space. A span starts at a
        // text matrix of its own: pdf.js joins the text before it with its control bytes otherwise. Not so a
        // span that starts with a glyph holding the pen, whose codes give back their own text: pdf.js takes a
        // mark's code for no width, and a new text matrix after it for a space as wide as the mark's code.
        if (!moved || (glyph.spanLength > 0 && !glyph.holdsPen) || std::abs(y - m_penY) > 0.001) {
            // pypdf 3.4 takes a move along the row by more than a few characters from the last text matrix for
            // a space, and knows nothing of the glyphs drawn since: the first glyph of a run of the other
            // direction, placed at its own end of the run, was taken for a new word. A move half a line up first
            // is neither a space nor a new line to it, and draws nothing.
            if (stepAside)
                moveTo(x, y + m_fontSize / 2);
            moveTo(x, y);
            m_content.push_back('[');
            m_inArray = true;
            moved = true;
        } else if (!m_inArray) {
            m_content.push_back('[');
            m_inArray = true;
        }
        if (std::abs(x - m_penX) > 0.005) {
            if (m_inString) {
                m_content.push_back(')');
                m_inString = false;
            }
            pdf::appendNumber(m_content, -(x - m_penX) * 1000.0 / m_fontSize, 2);
            m_penX = x;
        }
        if (!m_inString) {
            m_content.push_back('(');
            m_inString = true;
        }
        PdfFont::appendCode(m_content, code);
        m_penX += width - heldBack;
        if (glyph.holdsPen) {
            closeShow();
            m_content += "0 Tc\n";
        }
        // The codes of the glyph's further characters, drawing nothing: after a glyph that held the pen, in a
        // show of their own that its character spacing does not reach.
        for (std::size_t more = 1; more < m_glyphCodes.size(); ++more)
            m_penX += font->width(m_glyphCodes[more]) * m_fontSize / 1000.0;
        if (m_glyphCodes.size() > 1) {
            if (!m_inArray) {
                m_content.push_back('[');
                m_inArray = true;
            }
            if (!m_inString) {
                m_content.push_back('(');
                m_inString = true;
            }
            PdfFont::appendCodes(m_content, m_glyphCodes.data() + 1, m_glyphCodes.size() - 1);
        }
        held = held || glyph.holdsPen;
        if (glyph.closesSpan) {
            closeShow();
            m_content += "EMC\n";
            // pdf.js takes a mark's code for no width, so its pen lags behind the page's after a span that held
            // the pen; a text matrix after the span sets it right before the next glyph is measured from it.
            moved = moved && !held;
            held = false;
        }
    }
    closeShow();
}

std::string PdfDocument::inkResource() const
{
    return m_inkSpace == 0 ? std::string() : "/ColorSpace<</Ink " + pdf::reference(m_inkSpace) + ">>";
}

std::string PdfDocument::pageResources()
{
    if (m_pageForms.empty())
        return pdf::reference(m_resources);
    if (m_fontDictionary == 0)
        m_fontDictionary = m_writer.reserve();
    std::string resources = "<</Font " + pdf::reference(m_fontDictionary) + inkResource() + "/XObject<<";
    for (std::size_t i = 0; i < m_pageForms.size(); ++i)
        resources += "/L" + std::to_string(i + 1) + " " + pdf::reference(m_pageForms[i]);
    resources += ">>/ProcSet[/PDF/Text]>>";
    return resources;
}

void PdfDocument::endPage()
{
    endText();
    m_colour = kBlack;
    m_inkSpaceSet = false;
    const int page = m_writer.reserve();
    const int contents = m_writer.reserve();
    std::string box;
    pdf::appendNumber(box, m_paper.width, 4);
    box.push_back(' ');
    pdf::appendNumber(box, m_paper.height, 4);
    m_writer.writeObject(page,
        "<</Type/Page/Parent " + pdf::reference(m_pageTree) + "/MediaBox[0 0 " + box + "]/Resources " + pageResources()
            + "/Contents " + pdf::reference(contents) + ">>");
    // The first pages at the fast level: a short print-out is over before denser compression would pay.
    const auto compression = m_pages.size() < kFastPages ? PdfWriter::Compression::Fast : PdfWriter::Compression::Dense;
    m_writer.writeStream(contents, "", std::move(m_content), compression);
    m_content.clear();
    m_content.reserve(16 * 1024);
    m_pageForms.clear();
    m_pages.push_back(page);
}

void PdfDocument::beginSection(const std::string& title)
{
    m_sections.push_back({ title, m_pages.size() });
}

void PdfDocument::dropSection()
{
    if (m_sections.empty())
        return;
    m_pages.resize(m_sections.back().firstPage);
    m_sections.pop_back();
    // The page being drawn is dropped with its text object.
    m_content.clear();
    m_inText = false;
    m_inArray = false;
    m_inString = false;
    m_currentFont = nullptr;
    m_colour = kBlack;
    m_inkSpaceSet = false;
}

// Writes one bookmark a section, each leading to the top of its first page, in the order of the pages; the
// outline's entry for the catalog, or the empty text when there are no sections.
std::string PdfDocument::outline()
{
    // A section without pages of its own (none is left empty today) has no page to lead to.
    std::vector<const Section*> marked;
    for (const Section& section : m_sections) {
        if (section.firstPage < m_pages.size())
            marked.push_back(&section);
    }
    if (marked.empty())
        return {};
    const int root = m_writer.reserve();
    std::vector<int> items;
    for (std::size_t i = 0; i < marked.size(); ++i)
        items.push_back(m_writer.reserve());
    std::string top;
    pdf::appendNumber(top, m_paper.height, 4);
    for (std::size_t i = 0; i < marked.size(); ++i) {
        std::string item = "<</Title" + pdf::textString(marked[i]->title) + "/Parent " + pdf::reference(root);
        if (i > 0)
            item += "/Prev " + pdf::reference(items[i - 1]);
        if (i + 1 < marked.size())
            item += "/Next " + pdf::reference(items[i + 1]);
        item += "/Dest[" + pdf::reference(m_pages[marked[i]->firstPage]) + "/XYZ 0 " + top + " null]>>";
        m_writer.writeObject(items[i], item);
    }
    m_writer.writeObject(root,
        "<</Type/Outlines/First " + pdf::reference(items.front()) + "/Last " + pdf::reference(items.back()) + "/Count "
            + std::to_string(items.size()) + ">>");
    return "/Outlines " + pdf::reference(root) + "/PageMode/UseOutlines";
}

// Decimal labels that start at 1 on each section's first page; the catalog's entry, or the empty text.
std::string PdfDocument::pageLabels() const
{
    std::string ranges;
    for (const Section& section : m_sections) {
        if (section.firstPage >= m_pages.size())
            continue;
        if (!ranges.empty())
            ranges.push_back(' ');
        ranges += std::to_string(section.firstPage) + "<</S/D>>";
    }
    // The pages before the first section, if any, are counted as well: a page without a label confuses readers.
    if (!ranges.empty() && !ranges.starts_with("0<<"))
        ranges = "0<</S/D>> " + ranges;
    return ranges.empty() ? std::string() : "/PageLabels<</Nums[" + ranges + "]>>";
}

bool PdfDocument::finish(std::string& problem)
{
    if (m_pages.empty())
        endPage();
    std::string fonts;
    for (const auto& font : m_allFonts) {
        if (!font->write(m_writer, problem))
            return false;
        fonts += "/" + font->resourceName() + " " + pdf::reference(font->object());
    }
    m_writer.writeObject(m_resources, "<</Font<<" + fonts + ">>" + inkResource() + "/ProcSet[/PDF/Text]>>");
    if (m_fontDictionary != 0)
        m_writer.writeObject(m_fontDictionary, "<<" + fonts + ">>");
    std::string kids;
    for (const int page : m_pages) {
        if (!kids.empty())
            kids.push_back(' ');
        kids += pdf::reference(page);
    }
    m_writer.writeObject(m_pageTree, "<</Type/Pages/Kids[" + kids + "]/Count " + std::to_string(m_pages.size()) + ">>");
    m_writer.writeObject(
        m_catalog, "<</Type/Catalog/Pages " + pdf::reference(m_pageTree) + outline() + pageLabels() + ">>");
    if (!m_writer.finish(m_catalog, m_trailer)) {
        problem = m_writer.problem().empty() ? "the PDF could not be written" : m_writer.problem();
        return false;
    }
    return true;
}

} // namespace papyrant
