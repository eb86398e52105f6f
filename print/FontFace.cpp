#include "print/FontFace.h"

#include <hb-ot.h>
#include <hb.h>

namespace papyrant {

namespace {

int readInt16(const char* data, unsigned offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data + offset);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
}

std::uint32_t readUint32(const char* data, unsigned offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data + offset);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// A table's bytes when it has at least `size` of them.
template <typename Use> void withTable(hb_face_t* face, hb_tag_t tag, unsigned size, Use use)
{
    hb_blob_t* blob = hb_face_reference_table(face, tag);
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    if (data && length >= size)
        use(data);
    hb_blob_destroy(blob);
}

} // namespace

FontFace::FontFace(std::string path, unsigned index)
    : m_path(std::move(path))
{
    m_blob = hb_blob_create_from_file_or_fail(m_path.c_str());
    if (!m_blob)
        return;
    m_face = hb_face_create(m_blob, index);
    // Only glyf outlines: the writer embeds faces as CID-keyed TrueType.
    bool hasOutlines = false;
    withTable(m_face, HB_TAG('g', 'l', 'y', 'f'), 1, [&hasOutlines](const char*) { hasOutlines = true; });
    if (!hasOutlines || hb_face_get_glyph_count(m_face) == 0)
        return;
    m_font = hb_font_create(m_face);
    m_unitsPerEm = hb_face_get_upem(m_face);
    hb_font_set_scale(m_font, static_cast<int>(m_unitsPerEm), static_cast<int>(m_unitsPerEm));

    hb_position_t position = 0;
    if (hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, &position))
        m_ascender = position;
    if (hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, &position))
        m_descender = position;
    if (hb_ot_metrics_get_position(m_font, HB_OT_METRICS_TAG_CAP_HEIGHT, &position))
        m_capHeight = position;
    if (m_capHeight == 0)
        m_capHeight = m_ascender;
    withTable(m_face, HB_TAG('h', 'e', 'a', 'd'), 44, [this](const char* head) {
        for (int i = 0; i < 4; ++i)
            m_bbox[i] = readInt16(head, 36 + 2 * static_cast<unsigned>(i));
    });
    withTable(
        m_face, HB_TAG('p', 'o', 's', 't'), 16, [this](const char* post) { m_fixedPitch = readUint32(post, 12) != 0; });

    char name[128];
    unsigned size = sizeof name;
    hb_ot_name_get_utf8(m_face, HB_OT_NAME_ID_POSTSCRIPT_NAME, hb_language_get_default(), &size, name);
    if (size == 0) {
        size = sizeof name;
        hb_ot_name_get_utf8(m_face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
    }
    for (unsigned i = 0; i < size && name[i]; ++i) {
        const char c = name[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_')
            m_postScriptName.push_back(c);
    }
    if (m_postScriptName.empty())
        m_postScriptName = "Font";
    m_valid = true;
}

FontFace::~FontFace()
{
    hb_font_destroy(m_font);
    hb_face_destroy(m_face);
    hb_blob_destroy(m_blob);
}

std::uint32_t FontFace::glyphFor(char32_t cp) const
{
    hb_codepoint_t glyph = 0;
    return m_font && hb_font_get_nominal_glyph(m_font, cp, &glyph) ? glyph : 0;
}

int FontFace::advance(std::uint32_t glyph) const
{
    return m_font ? hb_font_get_glyph_h_advance(m_font, glyph) : 0;
}

} // namespace papyrant
