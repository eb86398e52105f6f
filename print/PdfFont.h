#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace papyrant {

class FontFace;
class PdfWriter;

// One face as a PDF font: a Type 0 font over a CID-keyed TrueType subset. Each glyph code stands for one
// glyph drawn for one text, so a glyph drawn for different characters still copies back as each of them; the
// code is two bytes, and the ToUnicode map gives every code its text. The subset is made when the document
// ends, from the glyphs its codes use.
class PdfFont
{
public:
    static constexpr std::uint32_t kMaxCodes = 0xFFFF;

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

    // The code that draws `glyph` and copies back as `text` (empty: copies back as nothing); 0 once the
    // font has no codes left.
    std::uint16_t code(std::uint32_t glyph, std::string_view text);
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
