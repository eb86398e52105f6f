#include "print/PdfFont.h"

#include "print/FontFace.h"
#include "print/PdfSyntax.h"
#include "print/PdfWriter.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <hb-subset.h>
#include <hb.h>
#include <memory>

namespace papyrant {

namespace {

template <typename T, void (*Destroy)(T*)> struct HbDeleter
{
    void operator()(T* object) const
    {
        Destroy(object);
    }
};
template <typename T, void (*Destroy)(T*)> using HbPointer = std::unique_ptr<T, HbDeleter<T, Destroy>>;
using SubsetInput = HbPointer<hb_subset_input_t, hb_subset_input_destroy>;
using SubsetPlan = HbPointer<hb_subset_plan_t, hb_subset_plan_destroy>;
using Face = HbPointer<hb_face_t, hb_face_destroy>;
using Blob = HbPointer<hb_blob_t, hb_blob_destroy>;

constexpr const char* kCodeSpace = "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";

// For each of the first 256 codes, whether it is written as its two bytes as they stand: most codes of any page.
constexpr std::array<bool, 256> kCodesAsTheyStand = [] {
    std::array<bool, 256> asTheyStand {};
    for (unsigned code = 0; code < asTheyStand.size(); ++code)
        asTheyStand[code] = !pdf::literalByteNeedsEscape(static_cast<char>(code));
    return asTheyStand;
}();

} // namespace

void PdfFont::appendCodes(std::string& out, const std::uint16_t* codes, std::size_t count)
{
    // Room for every byte escaped, written in place, then cut to what was written.
    const std::size_t start = out.size();
    out.resize(start + 4 * count);
    char* const begin = out.data() + start;
    char* end = begin;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t code = codes[i];
        if (code < kCodesAsTheyStand.size() && kCodesAsTheyStand[code]) {
            end[0] = 0;
            end[1] = static_cast<char>(code);
            end += 2;
            continue;
        }
        end = pdf::putLiteralByte(end, static_cast<char>(code >> 8));
        end = pdf::putLiteralByte(end, static_cast<char>(code & 0xFF));
    }
    out.resize(start + static_cast<std::size_t>(end - begin));
}

PdfFont::PdfFont(FontFace& face, int object, std::string resourceName)
    : m_face(face)
    , m_object(object)
    , m_resourceName(std::move(resourceName))
    , m_glyphs { 0 }
    , m_texts { std::string() }
    , m_widths { face.advance(0) * 1000.0 / face.unitsPerEm() }
{
}

std::uint16_t PdfFont::code(std::uint32_t glyph, std::string_view text, int advance)
{
    m_key.assign(reinterpret_cast<const char*>(&glyph), sizeof glyph);
    m_key.append(reinterpret_cast<const char*>(&advance), sizeof advance);
    m_key.append(text);
    const auto known = m_codes.find(m_key);
    if (known != m_codes.end())
        return known->second;
    if (m_glyphs.size() >= kMaxCodes)
        return 0;
    const auto code = static_cast<std::uint16_t>(m_glyphs.size());
    m_glyphs.push_back(glyph);
    m_texts.emplace_back(text);
    m_widths.push_back(advance * 1000.0 / m_face.unitsPerEm());
    m_codes.emplace(m_key, code);
    return code;
}

bool PdfFont::codes(
    std::uint32_t glyph, std::string_view text, int advance, bool share, std::vector<std::uint16_t>& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const auto lengthAt = [&](std::size_t at) {
        const int length = utf8::sequenceLength(bytes + at, text.size() - at);
        return length > 0 ? static_cast<std::size_t>(length) : std::size_t { 1 };
    };
    const std::size_t first = text.empty() ? 0 : lengthAt(0);
    // A face without a space has no glyph known to draw nothing: its codes keep their whole text.
    const std::uint32_t blank = first < text.size() ? m_face.glyphFor(U' ') : 0;
    if (blank == 0) {
        const std::uint16_t only = code(glyph, text, advance);
        if (only == 0)
            return false;
        out.push_back(only);
        return true;
    }
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); at += lengthAt(at))
        ++characters;
    const int each = share && advance >= static_cast<int>(characters) ? 1 : 0;
    const std::size_t start = out.size();
    out.push_back(code(glyph, text.substr(0, first), advance - each * static_cast<int>(characters - 1)));
    for (std::size_t at = first; at < text.size();) {
        const std::size_t length = lengthAt(at);
        out.push_back(code(blank, text.substr(at, length), each));
        at += length;
    }
    // The codes made before the font ran out stay unused.
    if (std::find(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), 0) != out.end()) {
        out.resize(start);
        return false;
    }
    return true;
}

std::string PdfFont::subsetTag() const
{
    // Six capital letters that depend on the face and the glyphs kept, as a subset's name must start with.
    std::uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
    for (char c : m_face.postScriptName())
        mix(static_cast<unsigned char>(c));
    for (std::uint32_t glyph : m_glyphs)
        mix(glyph);
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag.push_back(static_cast<char>('A' + hash % 26));
        hash /= 26;
    }
    return tag;
}

std::string PdfFont::widthArray() const
{
    std::string out = "[0[";
    for (std::size_t code = 0; code < m_widths.size(); ++code) {
        if (code > 0)
            out.push_back(' ');
        pdf::appendNumber(out, m_widths[code]);
    }
    out += "]]";
    return out;
}

std::string PdfFont::toUnicodeMap() const
{
    std::string out = std::string("/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                                  "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                                  "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n")
        + std::string(kCodeSpace);
    // Every code but .notdef is mapped, a glyph that copies back as nothing to an empty string: a reader finding
    // no entry makes up a character of its own (U+FFFD, "(cid:5)").
    for (std::size_t first = 1; first < m_texts.size(); first += 100) {
        const std::size_t count = std::min<std::size_t>(100, m_texts.size() - first);
        out += std::to_string(count) + " beginbfchar\n";
        for (std::size_t code = first; code < first + count; ++code) {
            out.push_back('<');
            pdf::appendHex16(out, static_cast<unsigned>(code));
            out += "><";
            pdf::appendUtf16Hex(out, m_texts[code]);
            out += ">\n";
        }
        out += "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return out;
}

bool PdfFont::write(PdfWriter& writer, std::string& problem)
{
    const SubsetInput input(hb_subset_input_create_or_fail());
    if (!input) {
        problem = "out of memory";
        return false;
    }
    // The placeholder drawn for characters no face has is glyph 0: its outline stays.
    hb_subset_input_set_flags(input.get(), hb_subset_input_get_flags(input.get()) | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    hb_set_t* glyphs = hb_subset_input_glyph_set(input.get());
    for (std::uint32_t glyph : m_glyphs)
        hb_set_add(glyphs, glyph);
    // A PDF reader needs the outlines and metrics only: codes reach glyphs through the CIDToGIDMap and text
    // through the ToUnicode map. Leaving the character map and the layout tables out before subsetting also
    // spares the subsetter a walk over every character of a large face (milliseconds for a CJK face).
    const Face outlines(hb_face_builder_create());
    hb_tag_t tags[64];
    unsigned count = 64;
    hb_face_get_table_tags(m_face.face(), 0, &count, tags);
    for (unsigned i = 0; i < count; ++i) {
        static constexpr hb_tag_t kLeftOut[] = { HB_TAG('c', 'm', 'a', 'p'), HB_TAG('G', 'S', 'U', 'B'),
            HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'), HB_TAG('B', 'A', 'S', 'E'),
            HB_TAG('J', 'S', 'T', 'F'), HB_TAG('k', 'e', 'r', 'n'), HB_TAG('m', 'o', 'r', 'x'),
            HB_TAG('V', 'O', 'R', 'G'), HB_TAG('v', 'h', 'e', 'a'), HB_TAG('v', 'm', 't', 'x') };
        if (std::find(std::begin(kLeftOut), std::end(kLeftOut), tags[i]) != std::end(kLeftOut))
            continue;
        const Blob table(hb_face_reference_table(m_face.face(), tags[i]));
        hb_face_builder_add_table(outlines.get(), tags[i], table.get());
    }
    const SubsetPlan plan(hb_subset_plan_create_or_fail(outlines.get(), input.get()));
    const Face subset(plan ? hb_subset_plan_execute_or_fail(plan.get()) : nullptr);
    const std::string subsetFailed = "the font \"" + m_face.postScriptName() + "\" could not be subset";
    if (!subset) {
        problem = subsetFailed;
        return false;
    }
    const hb_map_t* newGlyphs = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
    std::string cidToGid;
    cidToGid.reserve(m_glyphs.size() * 2);
    for (std::uint32_t glyph : m_glyphs) {
        const hb_codepoint_t mapped = hb_map_get(newGlyphs, glyph);
        const std::uint32_t value = mapped == HB_MAP_VALUE_INVALID ? 0 : mapped;
        cidToGid.push_back(static_cast<char>(value >> 8));
        cidToGid.push_back(static_cast<char>(value & 0xFF));
    }
    const Blob blob(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob.get(), &length);
    // An empty font program would leave every glyph undrawn, and some readers refuse the whole page.
    if (!data || length == 0) {
        problem = subsetFailed;
        return false;
    }
    std::string fontFile(data, length);

    const int descendant = writer.reserve();
    const int descriptor = writer.reserve();
    const int file = writer.reserve();
    const int toUnicode = writer.reserve();
    const int cidMap = writer.reserve();
    const std::string name = subsetTag() + "+" + m_face.postScriptName();
    const double scale = 1000.0 / m_face.unitsPerEm();
    // Every code has its width in /W; the default is the face's space, which pypdf takes for the gap that makes
    // a space: a default of 0 made it put one at every adjustment between two glyphs, inside words too.
    const std::uint32_t space = m_face.glyphFor(U' ');
    std::string defaultWidth;
    pdf::appendNumber(defaultWidth, space != 0 ? m_face.advance(space) * scale : 1000.0);

    writer.writeObject(m_object,
        "<</Type/Font/Subtype/Type0/BaseFont/" + name + "/Encoding/Identity-H/DescendantFonts["
            + pdf::reference(descendant) + "]/ToUnicode " + pdf::reference(toUnicode) + ">>");
    writer.writeObject(descendant,
        "<</Type/Font/Subtype/CIDFontType2/BaseFont/" + name
            + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor "
            + pdf::reference(descriptor) + "/DW " + defaultWidth + "/W " + widthArray() + "/CIDToGIDMap "
            + pdf::reference(cidMap) + ">>");
    std::string box;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            box.push_back(' ');
        pdf::appendNumber(box, m_face.boundingBox()[i] * scale);
    }
    std::string metrics;
    metrics += "/Ascent ";
    pdf::appendNumber(metrics, m_face.ascender() * scale);
    metrics += "/Descent ";
    pdf::appendNumber(metrics, m_face.descender() * scale);
    metrics += "/CapHeight ";
    pdf::appendNumber(metrics, m_face.capHeight() * scale);
    // Symbolic: the codes are not a standard encoding. Fixed pitch where the face says so.
    const int flags = 4 | (m_face.fixedPitch() ? 1 : 0);
    writer.writeObject(descriptor,
        "<</Type/FontDescriptor/FontName/" + name + "/Flags " + std::to_string(flags) + "/FontBBox[" + box
            + "]/ItalicAngle 0" + metrics + "/StemV 80/FontFile2 " + pdf::reference(file) + ">>");
    const std::string originalLength = "/Length1 " + std::to_string(fontFile.size());
    writer.writeStream(file, originalLength, std::move(fontFile));
    writer.writeStream(toUnicode, "", toUnicodeMap());
    writer.writeStream(cidMap, "", std::move(cidToGid));
    return true;
}

} // namespace papyrant
