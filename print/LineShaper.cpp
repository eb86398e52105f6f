#include "print/LineShaper.h"

#include "print/FontSet.h"
#include "print/LocaleName.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cmath>
#include <fribidi.h>
#include <hb.h>

namespace papyrant {

namespace {

// Characters that belong with the one before them and are drawn from its face when it has them: combining
// marks, joiners and variation selectors.
bool followsPrevious(char32_t cp)
{
    const hb_unicode_general_category_t category = hb_unicode_general_category(hb_unicode_funcs_get_default(), cp);
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK
        || category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK
        || category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK || cp == 0x200C || cp == 0x200D
        || (cp >= 0xFE00 && cp <= 0xFE0F) || (cp >= 0xE0100 && cp <= 0xE01EF);
}

// A shift between glyphs, as a share of the type size, that text extraction may take for a space or for text
// out of order.
constexpr double kNoticeableGap = 0.1;

bool isRealScript(hb_script_t script)
{
    return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN;
}

} // namespace

LineShaper::LineShaper(FontSet& fonts, double fontSize)
    : m_fonts(fonts)
    , m_fontSize(fontSize)
    , m_language(parseLocaleName(fonts.locale()).languageTag())
    , m_buffer(hb_buffer_create())
    , m_lineBreaks(m_language)
{
}

LineShaper::~LineShaper()
{
    hb_buffer_destroy(m_buffer);
}

void LineShaper::decode(std::string_view line)
{
    m_chars.clear();
    m_offsets.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    for (std::size_t i = 0; i < line.size();) {
        int length = utf8::sequenceLength(p + i, line.size() - i);
        char32_t cp = 0xFFFD;
        if (length > 0)
            cp = utf8::decode(p + i, length);
        else
            length = 1;
        m_chars.push_back(cp);
        m_offsets.push_back(static_cast<std::uint32_t>(i));
        i += static_cast<std::size_t>(length);
    }
    m_offsets.push_back(static_cast<std::uint32_t>(line.size()));
}

void LineShaper::chooseFaces()
{
    m_faces.assign(m_chars.size(), FontSet::kNoFace);
    for (std::size_t i = 0; i < m_chars.size(); ++i) {
        const char32_t cp = m_chars[i];
        if (i > 0 && followsPrevious(cp) && m_faces[i - 1] != FontSet::kNoFace
            && m_fonts.face(m_faces[i - 1]).glyphFor(cp) != 0) {
            m_faces[i] = m_faces[i - 1];
            continue;
        }
        m_faces[i] = m_fonts.faceFor(cp);
    }
    // Scripts, with the common and inherited characters (spaces, punctuation, marks) taking their neighbours'.
    m_scripts.assign(m_chars.size(), HB_SCRIPT_COMMON);
    hb_script_t last = HB_SCRIPT_COMMON;
    std::size_t firstReal = m_chars.size();
    for (std::size_t i = 0; i < m_chars.size(); ++i) {
        const hb_script_t script = hb_unicode_script(hb_unicode_funcs_get_default(), m_chars[i]);
        if (isRealScript(script)) {
            last = script;
            firstReal = std::min(firstReal, i);
        }
        m_scripts[i] = last;
    }
    for (std::size_t i = 0; i < firstReal && firstReal < m_chars.size(); ++i)
        m_scripts[i] = m_scripts[firstReal];
}

void LineShaper::resolveLevels()
{
    const auto length = static_cast<FriBidiStrIndex>(m_chars.size());
    std::vector<FriBidiCharType> types(m_chars.size());
    fribidi_get_bidi_types(reinterpret_cast<const FriBidiChar*>(m_chars.data()), length, types.data());
    m_levels.assign(m_chars.size(), 0);
    m_rightToLeft = false;
    const bool anyRightToLeft = std::any_of(types.begin(), types.end(), [](FriBidiCharType type) {
        return FRIBIDI_IS_RTL(type) || FRIBIDI_IS_ARABIC(type) || FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type);
    });
    if (!anyRightToLeft)
        return;
    std::vector<FriBidiBracketType> brackets(m_chars.size());
    fribidi_get_bracket_types(
        reinterpret_cast<const FriBidiChar*>(m_chars.data()), length, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON; // from the first strong character, as a text editor does
    std::vector<FriBidiLevel> levels(m_chars.size());
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction, levels.data()) == 0)
        return;
    for (std::size_t i = 0; i < levels.size(); ++i)
        m_levels[i] = static_cast<std::uint8_t>(levels[i]);
    m_rightToLeft = direction == FRIBIDI_PAR_RTL;
}

void LineShaper::placeholderRun(std::size_t begin, std::size_t end)
{
    // No installed face draws these: the main face's placeholder shows where they are; the text stays.
    FontFace& main = m_fonts.face(FontSet::kMainFace);
    const auto advance = static_cast<float>(main.advance(0) * m_fontSize / main.unitsPerEm());
    for (std::size_t i = begin; i < end; ++i) {
        m_clusters.push_back(Cluster { static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1),
            static_cast<std::uint32_t>(m_glyphs.size()), 1, FontSet::kNoFace, advance, m_levels[i] });
        m_glyphs.push_back(Glyph { 0, main.advance(0), advance, 0, 0 });
    }
}

void LineShaper::shapeRun(std::size_t begin, std::size_t end)
{
    const int faceIndex = m_faces[begin];
    if (faceIndex == FontSet::kNoFace) {
        placeholderRun(begin, end);
        return;
    }
    FontFace& face = m_fonts.face(faceIndex);
    const bool rightToLeft = (m_levels[begin] & 1) != 0;
    hb_buffer_clear_contents(m_buffer);
    hb_buffer_add_utf32(m_buffer, reinterpret_cast<const std::uint32_t*>(m_chars.data()),
        static_cast<int>(m_chars.size()), static_cast<unsigned>(begin), static_cast<int>(end - begin));
    hb_buffer_set_direction(m_buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(m_buffer, static_cast<hb_script_t>(m_scripts[begin]));
    if (!m_language.empty())
        hb_buffer_set_language(m_buffer, hb_language_from_string(m_language.c_str(), -1));
    hb_shape(face.font(), m_buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(m_buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(m_buffer, &count);
    const double scale = m_fontSize / face.unitsPerEm();

    // Group the glyphs by cluster; the clusters of a right-to-left run come out in reverse.
    const std::size_t firstCluster = m_clusters.size();
    for (unsigned g = 0; g < count;) {
        unsigned next = g;
        float advance = 0;
        while (next < count && infos[next].cluster == infos[g].cluster) {
            m_glyphs.push_back(Glyph { infos[next].codepoint, positions[next].x_advance,
                static_cast<float>(positions[next].x_advance * scale),
                static_cast<float>(positions[next].x_offset * scale),
                static_cast<float>(positions[next].y_offset * scale) });
            advance += m_glyphs.back().advance;
            ++next;
        }
        m_clusters.push_back(Cluster { infos[g].cluster, 0, static_cast<std::uint32_t>(m_glyphs.size() - (next - g)),
            next - g, faceIndex, advance, m_levels[infos[g].cluster] });
        g = next;
    }
    if (rightToLeft)
        std::reverse(m_clusters.begin() + static_cast<std::ptrdiff_t>(firstCluster), m_clusters.end());
    for (std::size_t c = firstCluster; c < m_clusters.size(); ++c)
        m_clusters[c].endChar
            = c + 1 < m_clusters.size() ? m_clusters[c + 1].firstChar : static_cast<std::uint32_t>(end);
}

void LineShaper::shapeRuns()
{
    m_glyphs.clear();
    m_clusters.clear();
    std::size_t begin = 0;
    for (std::size_t i = 1; i <= m_chars.size(); ++i) {
        if (i == m_chars.size() || m_faces[i] != m_faces[begin] || m_scripts[i] != m_scripts[begin]
            || m_levels[i] != m_levels[begin]) {
            shapeRun(begin, i);
            begin = i;
        }
    }
}

bool LineShaper::glyphPerCharacter(const Cluster& cluster)
{
    // A base with its marks, drawn one glyph each: each glyph copies back as its own character, so that no span
    // is needed. Not so when a glyph is the plain glyph of another character of the cluster (a vowel sign drawn
    // before its consonant, say), or, left to right, when a mark is raised or lowered, which text extraction
    // would take for another line, or moved back over the glyph before it (Thai vowel and tone marks), which it
    // would take for text out of order. Left to right, the glyphs come in the characters' order; right to left,
    // the shaper may put a letter's marks in another order than written (shin dot and qamats), and each glyph is
    // matched to the character whose plain glyph it is.
    const std::uint32_t count = cluster.endChar - cluster.firstChar;
    if (count != cluster.glyphCount || cluster.face == FontSet::kNoFace)
        return false;
    FontFace& face = m_fonts.face(cluster.face);
    // The characters' plain glyphs with their characters, sorted, so that a cluster of many joiners or selectors
    // costs n log n.
    m_plainGlyphs.clear();
    m_sortedGlyphs.clear();
    for (std::uint32_t c = 0; c < count; ++c) {
        m_plainGlyphs.push_back(face.glyphFor(m_chars[cluster.firstChar + c]));
        m_sortedGlyphs.emplace_back(m_plainGlyphs.back(), c);
    }
    std::sort(m_sortedGlyphs.begin(), m_sortedGlyphs.end());
    const bool reversed = (cluster.level & 1) != 0;
    m_glyphChars.assign(count, 0);
    m_charTaken.assign(count, false);
    for (std::uint32_t g = 0; g < count; ++g) {
        const Glyph& glyph = m_glyphs[cluster.firstGlyph + g];
        // Right to left, every reader measured keeps a raised or shifted mark with its letter once it is drawn
        // after it (Arabic harakat).
        if (!reversed && (glyph.yOffset != 0 || glyph.xOffset < -kNoticeableGap * m_fontSize))
            return false;
        std::uint32_t own = reversed ? count - 1 - g : g;
        const auto match = std::lower_bound(
            m_sortedGlyphs.begin(), m_sortedGlyphs.end(), std::pair<std::uint32_t, std::uint32_t>(glyph.id, 0));
        const bool plain = match != m_sortedGlyphs.end() && match->first == glyph.id;
        if (plain && match->second != own) {
            // The plain glyph of another character: only right to left, and only when it is that one's alone.
            if (!reversed || (match + 1 != m_sortedGlyphs.end() && (match + 1)->first == glyph.id))
                return false;
            own = match->second;
        } else if (plain && match + 1 != m_sortedGlyphs.end() && (match + 1)->first == glyph.id) {
            return false;
        }
        if (m_charTaken[own])
            return false;
        m_charTaken[own] = true;
        m_glyphChars[g] = own;
    }
    return true;
}

void LineShaper::placeCluster(const Cluster& cluster, double& pen, std::vector<PlacedGlyph>& glyphs)
{
    // A glyph set back over its base (a mark that did not compose, in a face without mark positioning) is drawn
    // first: a reader seeing the pen go back takes it for the start of another word or line.
    // Of glyphs at one place, the one that moves the pen on (the base) goes last.
    m_drawOrder.clear();
    const bool reversed = (cluster.level & 1) != 0;
    double x = pen;
    bool backwards = false;
    for (std::uint32_t g = 0; g < cluster.glyphCount; ++g) {
        const Glyph& glyph = m_glyphs[cluster.firstGlyph + g];
        m_drawOrder.emplace_back(static_cast<float>(x + glyph.xOffset), g);
        backwards = backwards || (!reversed && g > 0 && glyph.xOffset < -0.01f);
        x += glyph.advance;
    }
    if (backwards) {
        std::stable_sort(m_drawOrder.begin(), m_drawOrder.end(), [this, &cluster](const auto& left, const auto& right) {
            if (left.first != right.first)
                return left.first < right.first;
            return m_glyphs[cluster.firstGlyph + left.second].advance == 0
                && m_glyphs[cluster.firstGlyph + right.second].advance != 0;
        });
    }
    // A right-to-left cluster comes from the shaper in visual order, its base last. In a right-to-left line, drawn
    // as placed, its characters are drawn last first, the marks before their base: the readers that turn such a
    // line round (pdf.js, pypdf) then give the base before its marks, and those that keep the drawing order give
    // the whole line reversed, each cluster with it. In a left-to-right line its runs of right-to-left text are
    // drawn in reading order, and so is each cluster, from the base on.
    const bool oneToOne = cluster.glyphCount > 1 && !backwards && glyphPerCharacter(cluster);
    if (reversed && oneToOne) {
        std::sort(m_drawOrder.begin(), m_drawOrder.end(), [this](const auto& left, const auto& right) {
            return m_rightToLeft ? m_glyphChars[left.second] > m_glyphChars[right.second]
                                 : m_glyphChars[left.second] < m_glyphChars[right.second];
        });
    } else if (reversed) {
        std::reverse(m_drawOrder.begin(), m_drawOrder.end());
    }
    const std::uint32_t clusterBegin = m_offsets[cluster.firstChar];
    const std::uint32_t clusterLength = m_offsets[cluster.endChar] - clusterBegin;
    // Left to right, a cluster drawn with several glyphs, no more than it has characters, deals its characters
    // out to the glyphs in the order drawn: one each, and the first takes those left over (a conjunct drawn
    // before its vowel sign). Each code copies back as text of its own, in the order written and from left to
    // right on the page, though not always as the character its glyph shows (a vowel sign drawn before its
    // consonant copies back as the consonant): a code that copies back as nothing comes back as U+FFFD (MuPDF
    // 1.21), a control byte (pdf.js) or a NUL (Ghostscript), and Ghostscript garbles a code of several
    // characters. Drawn in the order written instead, a glyph set back is taken for a new word by poppler, which
    // then gives the cluster back split and out of order.
    const std::uint32_t charCount = cluster.endChar - cluster.firstChar;
    const bool dealt = !reversed && !oneToOne && cluster.glyphCount > 1 && cluster.glyphCount <= charCount;
    // Otherwise the cluster copies back through its first glyph's code, the others' copying back as nothing. A
    // cluster copies back through a span as well when it is not dealt out, or when a glyph of it is raised or
    // lowered, which poppler and PDFium take for another line: the span alone is lost on the readers that know
    // no spans (pdf.js, pdfminer, pypdf, MuPDF 1.21), the code alone splits the cluster in some that do.
    const auto clusterGlyphs = m_glyphs.begin() + static_cast<std::ptrdiff_t>(cluster.firstGlyph);
    const auto raised = [](const Glyph& glyph) { return glyph.yOffset != 0; };
    // A mark drawn first, where its base starts (set back over it in a face without mark positioning), copies
    // back as the base, and the base's glyph as the mark. MuPDF moves its pen on for a letter only, never for a
    // mark: with the first code as wide as its glyph (not at all), the word went on a cell past MuPDF's pen, and
    // MuPDF put a space after the mark. So the first code is as wide as the rest of the cluster and holds the
    // pen where it is drawn. poppler takes that wide letter for one the mark overlaps and puts the mark on a line
    // of its own: a span gives it the cluster's text instead. MuPDF puts that space only after a mark below U+0700
    // or among the punctuation (U+2000 to U+20CF); other marks (Thai) keep the plain drawing, in fewer bytes.
    const char32_t lastChar = m_chars[cluster.endChar - 1];
    const bool holdsPen = dealt && backwards && cluster.face != FontSet::kNoFace
        && (lastChar < 0x700 || (lastChar >= 0x2000 && lastChar <= 0x20CF))
        && m_glyphs[cluster.firstGlyph + m_drawOrder.front().second].advanceUnits == 0;
    const bool spanned = cluster.glyphCount > 1 && !oneToOne
        && (!dealt || holdsPen || std::any_of(clusterGlyphs, clusterGlyphs + cluster.glyphCount, raised));
    for (std::uint32_t drawn = 0; drawn < cluster.glyphCount; ++drawn) {
        const auto [glyphX, g] = m_drawOrder[drawn];
        const Glyph& glyph = m_glyphs[cluster.firstGlyph + g];
        std::uint32_t textBegin = clusterBegin;
        std::uint32_t textLength = drawn == 0 ? clusterLength : 0;
        if (oneToOne) {
            const std::uint32_t c = cluster.firstChar + m_glyphChars[g];
            textBegin = m_offsets[c];
            textLength = m_offsets[c + 1] - textBegin;
        } else if (dealt) {
            const std::uint32_t extra = charCount - cluster.glyphCount;
            const std::uint32_t c = cluster.firstChar + (drawn == 0 ? 0 : drawn + extra);
            textBegin = m_offsets[c];
            textLength = m_offsets[c + 1 + (drawn == 0 ? extra : 0)] - textBegin;
        }
        const bool opens = spanned && drawn == 0;
        int advance = glyph.advanceUnits;
        if (holdsPen && drawn == 0) {
            const FontFace& face = m_fonts.face(cluster.face);
            advance = static_cast<int>(std::lround((x - glyphX) * face.unitsPerEm() / m_fontSize));
        }
        glyphs.push_back(PlacedGlyph { cluster.face, glyph.id, glyphX, glyph.yOffset, advance, textBegin, textLength,
            opens ? clusterBegin : 0u, opens ? clusterLength : 0u, spanned && drawn + 1 == cluster.glyphCount, false,
            holdsPen && drawn == 0 });
    }
    pen = x;
}

void LineShaper::emitRow(std::size_t begin, std::size_t end, double width, std::vector<Row>& rows)
{
    // Visual order: trailing white space at the paragraph's level, then each run at a level reversed, from
    // the highest level down to the lowest odd one.
    const std::uint8_t base = m_rightToLeft ? 1 : 0;
    std::vector<std::uint8_t> levels;
    levels.reserve(end - begin);
    for (std::size_t c = begin; c < end; ++c)
        levels.push_back(m_clusters[c].level);
    for (std::size_t c = end; c > begin && m_chars[m_clusters[c - 1].firstChar] == U' '; --c)
        levels[c - 1 - begin] = base;
    m_order.resize(end - begin);
    for (std::size_t i = 0; i < m_order.size(); ++i)
        m_order[i] = begin + i;
    std::uint8_t highest = 0;
    std::uint8_t lowestOdd = 255;
    for (std::uint8_t level : levels) {
        highest = std::max(highest, level);
        if (level & 1)
            lowestOdd = std::min(lowestOdd, level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (std::size_t i = 0; i < levels.size();) {
            if (levels[i] < level) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < levels.size() && levels[j] >= level)
                ++j;
            std::reverse(
                m_order.begin() + static_cast<std::ptrdiff_t>(i), m_order.begin() + static_cast<std::ptrdiff_t>(j));
            std::reverse(
                levels.begin() + static_cast<std::ptrdiff_t>(i), levels.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
        }
    }

    // A right-to-left line is drawn as placed, left to right, as other writers draw it: the browsers' readers
    // (PDFium, pdf.js) and pypdf read a line by position and give it back in reading order, with its spaces. A
    // left-to-right line keeps its right-to-left runs in reading order: drawn as placed, runs inside markup
    // (<name>שלום עולם</name>) came back scrambled in every reader. Readers that keep the drawing order
    // (pdfminer, MuPDF 1.21, Ghostscript) give right-to-left lines reversed word by word, as they do for other
    // writers' PDFs: see the readers test and its proofs.
    // In a left-to-right line, each right-to-left cluster is a show of its own. PDFium puts the shows of a line
    // in order by where each starts and then turns the right-to-left text round, so a show of several
    // clusters in reading order came back reversed; one cluster a show, it comes back in reading order. The
    // readers that keep the drawing order are not affected.
    Row& row = rows.emplace_back();
    m_placed.clear();
    m_clusterGlyphs.clear();
    double pen = 0;
    for (std::size_t index : m_order) {
        const std::size_t first = m_placed.size();
        placeCluster(m_clusters[index], pen, m_placed);
        m_clusterGlyphs.emplace_back(index, first, m_placed.size() - first);
    }
    std::sort(m_clusterGlyphs.begin(), m_clusterGlyphs.end());
    row.glyphs.reserve(m_placed.size());
    if (m_rightToLeft) {
        row.glyphs = m_placed;
    } else {
        // Where the direction changes, a text object of its own starts: MuPDF guesses the direction of
        // punctuation from the letter before it until a text object ends, and took the "</" after a
        // right-to-left run for right-to-left text.
        for (const auto& [index, first, count] : m_clusterGlyphs) {
            const std::size_t at = row.glyphs.size();
            row.glyphs.insert(row.glyphs.end(), m_placed.begin() + static_cast<std::ptrdiff_t>(first),
                m_placed.begin() + static_cast<std::ptrdiff_t>(first + count));
            if (index > begin && count > 0 && ((m_clusters[index].level ^ m_clusters[index - 1].level) & 1) != 0)
                row.glyphs[at].startsTextObject = true;
            if (count > 0 && (m_clusters[index].level & 1) != 0)
                row.glyphs[at].startsShow = true;
        }
    }
    if (m_rightToLeft) {
        double visible = pen;
        for (std::size_t c = end; c > begin && m_chars[m_clusters[c - 1].firstChar] == U' '; --c)
            visible -= m_clusters[c - 1].advance;
        row.left = std::max(0.0, width - visible);
    }
}

void LineShaper::keepSpansAhead(std::vector<PlacedGlyph>& glyphs) const
{
    // PDFium reads the text objects of a line sorted by where they start, and gives a span's text once only while
    // the span's objects come one after another. A span whose mark stands right of where the next cluster starts
    // (दु, its vowel sign set below and on past the consonant's advance, before नि) would have the next cluster
    // read between its objects and be given twice. So the span takes in the clusters after it up to the end of its
    // word: PDFium measures the gap after a span from the span's first object, and would take a word's rest past
    // a short span for a new word, but never puts a space before a space. Left to right, a row's glyphs give back
    // the line's bytes in order, so the stretched span's text is the bytes from its start to its last glyph's end.
    const auto charAt = [this](std::uint32_t byte) {
        return m_chars[static_cast<std::size_t>(
            std::lower_bound(m_offsets.begin(), m_offsets.end(), byte) - m_offsets.begin())];
    };
    for (std::size_t open = 0; open < glyphs.size(); ++open) {
        if (glyphs[open].spanLength == 0)
            continue;
        std::size_t close = open;
        float rightmost = glyphs[open].x;
        while (!glyphs[close].closesSpan && close + 1 < glyphs.size())
            rightmost = std::max(rightmost, glyphs[++close].x);
        if (close + 1 == glyphs.size() || glyphs[close + 1].x >= rightmost - 0.01f) {
            open = close;
            continue;
        }
        std::uint32_t end = glyphs[open].spanBegin + glyphs[open].spanLength;
        std::size_t last = close;
        for (std::size_t next = close + 1; next < glyphs.size(); ++next) {
            const PlacedGlyph& glyph = glyphs[next];
            const bool startsText = glyph.textLength > 0 || glyph.spanLength > 0;
            const std::uint32_t begin = glyph.spanLength > 0 ? glyph.spanBegin : glyph.textBegin;
            // Each cluster's first glyph gives back text; a cluster that does not carry on from the span (a run
            // of the other direction) or a space ends the word.
            if (glyph.startsTextObject || (startsText && (begin != end || charAt(begin) == U' ')))
                break;
            if (startsText)
                end = std::max(begin + glyph.spanLength, glyph.textBegin + glyph.textLength);
            last = next;
        }
        for (std::size_t g = close; g < last; ++g) {
            glyphs[g].closesSpan = false;
            glyphs[g + 1].spanLength = 0;
            glyphs[g + 1].spanBegin = 0;
        }
        glyphs[last].closesSpan = true;
        glyphs[open].spanLength = end - glyphs[open].spanBegin;
        open = last;
    }
}

void LineShaper::wrap(double width, std::vector<Row>& rows)
{
    // As a word processor wraps: after the last break opportunity that fits; a word longer than the row is cut
    // between clusters; spaces at the end of a row may hang past the margin.
    std::size_t rowStart = 0;
    while (rowStart < m_clusters.size()) {
        double x = 0;
        std::size_t end = rowStart;
        std::size_t lastBreak = rowStart;
        while (end < m_clusters.size()) {
            const Cluster& cluster = m_clusters[end];
            const bool space = m_chars[cluster.firstChar] == U' ';
            if (!space && x + cluster.advance > width + 1e-6 && end > rowStart) {
                if (lastBreak > rowStart)
                    end = lastBreak;
                break;
            }
            x += cluster.advance;
            ++end;
            if (m_breaks[cluster.endChar - 1])
                lastBreak = end;
        }
        emitRow(rowStart, end, width, rows);
        if (!m_rightToLeft)
            keepSpansAhead(rows.back().glyphs);
        rowStart = end;
    }
}

void LineShaper::layOut(std::string_view line, double width, std::vector<Row>& rows)
{
    decode(line);
    if (m_chars.empty())
        return;
    chooseFaces();
    resolveLevels();
    shapeRuns();
    m_lineBreaks.find(m_chars, m_breaks);
    wrap(width, rows);
}

} // namespace papyrant
