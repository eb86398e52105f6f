#pragma once

#include <cstdint>
#include <string>

typedef struct hb_blob_t hb_blob_t;
typedef struct hb_face_t hb_face_t;
typedef struct hb_font_t hb_font_t;

namespace papyrant {

// One TrueType face of a font file, mapped into memory, measured in the font's own units.
class FontFace
{
public:
    // Opens face `index` of the file; valid() says whether it is a usable TrueType face.
    FontFace(std::string path, unsigned index);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool valid() const
    {
        return m_valid;
    }
    const std::string& path() const
    {
        return m_path;
    }
    hb_face_t* face() const
    {
        return m_face;
    }
    hb_font_t* font() const
    {
        return m_font;
    }
    unsigned unitsPerEm() const
    {
        return m_unitsPerEm;
    }
    // The glyph the font's character map gives `cp`; 0 when it has none.
    std::uint32_t glyphFor(char32_t cp) const;
    int advance(std::uint32_t glyph) const;

    // What the PDF's font descriptor tells of the face, in font units.
    int ascender() const
    {
        return m_ascender;
    }
    int descender() const
    {
        return m_descender; // negative, below the baseline
    }
    int capHeight() const
    {
        return m_capHeight;
    }
    const int* boundingBox() const
    {
        return m_bbox; // xMin, yMin, xMax, yMax
    }
    bool fixedPitch() const
    {
        return m_fixedPitch;
    }
    // The PostScript name, with only the characters a PDF name may hold plainly.
    const std::string& postScriptName() const
    {
        return m_postScriptName;
    }

private:
    std::string m_path;
    hb_blob_t* m_blob = nullptr;
    hb_face_t* m_face = nullptr;
    hb_font_t* m_font = nullptr;
    bool m_valid = false;
    unsigned m_unitsPerEm = 1000;
    int m_ascender = 0;
    int m_descender = 0;
    int m_capHeight = 0;
    int m_bbox[4] = {};
    bool m_fixedPitch = false;
    std::string m_postScriptName;
};

} // namespace papyrant
