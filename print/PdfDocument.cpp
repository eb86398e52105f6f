#include "print/PdfDocument.h"

#include "print/FontSet.h"
#include "print/PdfFont.h"
#include "print/PdfSyntax.h"

#include <cmath>

namespace papyrant {

namespace {

constexpr std::size_t kFastPages = 4;

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
    m_writer.writeObject(m_catalog, "<</Type/Catalog/Pages " + pdf::reference(m_pageTree) + ">>");
    m_writer.writeObject(
        m_info, "<</Title" + pdf::textString(title) + "/Creator" + pdf::textString(creator) + "/Producer(Papyrant)>>");
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
    }
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

void PdfDocument::moveTo(double x, double y)
{
    closeShow();
    m_content += "1 0 0 1 ";
    pdf::appendNumber(m_content, x, 2);
    m_content.push_back(' ');
    pdf::appendNumber(m_content, y, 2);
    m_content += " Tm\n";
    m_penX = x;
    m_penY = y;
}

void PdfDocument::drawCodes(PdfFont& font, double left, double baseline, const std::uint16_t* codes, std::size_t count)
{
    setFont(font);
    moveTo(left, m_paper.height - baseline);
    m_content.push_back('(');
    for (std::size_t i = 0; i < count; ++i)
        PdfFont::appendCode(m_content, codes[i]);
    m_content += ")Tj\n";
}

void PdfDocument::drawRow(double left, double baseline, const std::vector<PlacedGlyph>& glyphs, std::string_view text)
{
    const double rowY = m_paper.height - baseline;
    bool moved = false;
    for (const PlacedGlyph& glyph : glyphs) {
        const std::string_view copiesAs = glyph.span == PlacedGlyph::Span::Open || glyph.span == PlacedGlyph::Span::None
            ? text.substr(glyph.textBegin, glyph.textLength)
            : std::string_view();
        // Inside a span the span's text is what copies back; its glyphs map to nothing on their own.
        const std::string_view codeText = glyph.span == PlacedGlyph::Span::None ? copiesAs : std::string_view();
        const int face = glyph.face == FontSet::kNoFace ? FontSet::kMainFace : glyph.face;
        PdfFont* font = &this->font(face);
        std::uint16_t code = font->code(glyph.glyph, codeText, glyph.advance);
        if (code == 0) {
            font = &newFont(face);
            code = font->code(glyph.glyph, codeText, glyph.advance);
        }
        if (glyph.span == PlacedGlyph::Span::Open) {
            closeShow();
            beginText();
            m_content += "/Span<</ActualText";
            m_content += pdf::textString(copiesAs);
            m_content += ">>BDC\n";
        }
        setFont(*font);
        const double x = left + glyph.x;
        const double y = rowY + glyph.rise;
        if (!moved || !m_inArray || std::abs(y - m_penY) > 0.001) {
            moveTo(x, y);
            m_content.push_back('[');
            m_inArray = true;
            moved = true;
        } else if (std::abs(x - m_penX) > 0.005) {
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
        m_penX += font->width(code) * m_fontSize / 1000.0;
        if (glyph.span == PlacedGlyph::Span::Close) {
            closeShow();
            m_content += "EMC\n";
        }
    }
    closeShow();
}

void PdfDocument::endPage()
{
    closeShow();
    if (m_inText)
        m_content += "ET\n";
    m_inText = false;
    m_currentFont = nullptr;
    const int page = m_writer.reserve();
    const int contents = m_writer.reserve();
    std::string box;
    pdf::appendNumber(box, m_paper.width, 4);
    box.push_back(' ');
    pdf::appendNumber(box, m_paper.height, 4);
    m_writer.writeObject(page,
        "<</Type/Page/Parent " + pdf::reference(m_pageTree) + "/MediaBox[0 0 " + box + "]/Resources "
            + pdf::reference(m_resources) + "/Contents " + pdf::reference(contents) + ">>");
    // The first pages at the fast level: a short print-out is over before denser compression would pay.
    const auto compression = m_pages.size() < kFastPages ? PdfWriter::Compression::Fast : PdfWriter::Compression::Dense;
    m_writer.writeStream(contents, "", std::move(m_content), compression);
    m_content.clear();
    m_content.reserve(16 * 1024);
    m_pages.push_back(page);
}

bool PdfDocument::finish(std::string& problem)
{
    if (m_pages.empty())
        endPage();
    std::string fonts;
    const int encoding = m_writer.reserve();
    m_writer.writeStream(encoding,
        "/Type/CMap/CMapName/Papyrant-OneOrTwoByte/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>",
        std::string(PdfFont::encodingCMap()));
    for (const auto& font : m_allFonts) {
        if (!font->write(m_writer, encoding, problem))
            return false;
        fonts += "/" + font->resourceName() + " " + pdf::reference(font->object());
    }
    m_writer.writeObject(m_resources, "<</Font<<" + fonts + ">>/ProcSet[/PDF/Text]>>");
    std::string kids;
    for (const int page : m_pages) {
        if (!kids.empty())
            kids.push_back(' ');
        kids += pdf::reference(page);
    }
    m_writer.writeObject(m_pageTree, "<</Type/Pages/Kids[" + kids + "]/Count " + std::to_string(m_pages.size()) + ">>");
    if (!m_writer.finish(m_catalog, m_info)) {
        problem = "the PDF could not be written";
        return false;
    }
    return true;
}

} // namespace papyrant
