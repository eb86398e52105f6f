#pragma once

#include "print/PdfSyntax.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace papyrant {

class FontFace;
class PdfWriter;

// One face as a PDF font: a Type 0 font over a CID-keyed TrueType subset. Each code stands for one glyph
// drawn for one text, so a glyph drawn for different characters still copies back as each of them, and the
// ToUnicode map gives every code its text. Codes are two bytes, each the CID it names (the predefined
// Identity-H encoding; the CIDToGIDMap picks the glyph): every reader knows that encoding by its name, while
// some read no embedded one and others take a code of an encoding of our own for the wrong CID. The subset is
// made when the document ends, from the glyphs used.
class PdfFont
{
public:
    static constexpr std::uint32_t kMaxCodes = 0x10000;

    PdfFont(FontFace& face, int object, std::string resourceName);

    int object() const
    {
        return m_object;
    }
    const std::string& resourceName() const
    {
        return m_resourceName;
    }
    FontFace& face() const
    {
        return m_face;
    }

    // The code that draws `glyph`, copies back as `text` (empty: copies back as nothing) and moves on by
    // `advance` font units (the glyph's own advance unless shaping changed it: a mark set on its base moves
    // on by nothing, and readers that take text from the page see it so); 0 once the font has no codes left.
    std::uint16_t code(std::uint32_t glyph, std::string_view text, int advance);
    // The codes that draw `glyph` for `text` (several characters: a conjunct, a ligature), appended to `out`. The
    // glyph's code copies back as the first character only, and each further one has a code of its own that draws
    // the face's blank glyph, so that every code copies back as one character: some readers garble a code that
    // copies back as several. The further codes come after the glyph's and, with `share`, take one font unit each
    // of its advance: pdfminer splits two codes without width that follow each other into lines, and MuPDF 1.21
    // puts a space after a blank code that ends short of the next glyph, where the glyph's room was shared out
    // evenly. Without `share` they move on by nothing. False, and nothing appended, when the font has too few
    // codes left.
    bool codes(std::uint32_t glyph, std::string_view text, int advance, bool share, std::vector<std::uint16_t>& out);
    // Appends a code's two bytes to a literal string.
    static void appendCode(std::string& out, std::uint16_t code)
    {
        pdf::appendLiteralByte(out, static_cast<char>(code >> 8));
        pdf::appendLiteralByte(out, static_cast<char>(code & 0xFF));
    }
    // Appends the codes' bytes to a literal string.
    static void appendCodes(std::string& out, const std::uint16_t* codes, std::size_t count);
    // The advance the PDF gives a code, in thousandths of the font size.
    double width(std::uint16_t code) const
    {
        return m_widths[code];
    }

    // Writes the font and what it refers to; false when the subset could not be made.
    bool write(PdfWriter& writer, std::string& problem);

private:
    std::string subsetTag() const;
    std::string widthArray() const;
    std::string toUnicodeMap() const;

    FontFace& m_face;
    int m_object;
    std::string m_resourceName;
    std::vector<std::uint32_t> m_glyphs; // by code; code 0 is .notdef with no text
    std::vector<std::string> m_texts; // UTF-8, by code
    std::vector<double> m_widths; // by code
    std::unordered_map<std::string, std::uint16_t> m_codes; // glyph bytes + text -> code
    std::string m_key;
};

} // namespace papyrant
