#pragma once

#include "print/LineBreaks.h"
#include "print/PlacedGlyph.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

typedef struct hb_buffer_t hb_buffer_t;

namespace papyrant {

class FontSet;

// Lays out one line of text that needs more than the main face's glyphs one by one: each character gets the
// face that draws it, runs of one face, script and direction are shaped with HarfBuzz, the line is wrapped at
// the Unicode line-break opportunities (between characters where a word is longer than a row), and each row
// is put in visual order by the bidirectional algorithm, right-aligned when the line reads right to left.
class LineShaper
{
public:
    struct Row
    {
        double left = 0; // offset of the row from the left margin
        std::vector<PlacedGlyph> glyphs;
    };

    LineShaper(FontSet& fonts, double fontSize);
    ~LineShaper();
    LineShaper(const LineShaper&) = delete;
    LineShaper& operator=(const LineShaper&) = delete;

    // Lays out `line` (valid UTF-8, no line breaks) in rows at most `width` points wide; the glyphs' text
    // ranges are byte ranges of `line`.
    void layOut(std::string_view line, double width, std::vector<Row>& rows);

private:
    struct Glyph
    {
        std::uint32_t id;
        int advanceUnits;
        float advance;
        float xOffset;
        float yOffset;
    };
    struct Cluster
    {
        std::uint32_t firstChar;
        std::uint32_t endChar;
        std::uint32_t firstGlyph; // in m_glyphs, in visual order within the cluster
        std::uint32_t glyphCount;
        int face;
        float advance;
        std::uint8_t level;
    };

    void decode(std::string_view line);
    void chooseFaces();
    void resolveLevels();
    void shapeRuns();
    void shapeRun(std::size_t begin, std::size_t end);
    void placeholderRun(std::size_t begin, std::size_t end);
    void wrap(double width, std::vector<Row>& rows);
    bool glyphPerCharacter(const Cluster& cluster);
    // Places a cluster's glyphs from `pen` on.
    void placeCluster(const Cluster& cluster, double& pen, std::vector<PlacedGlyph>& glyphs);
    void emitRow(std::size_t begin, std::size_t end, double width, std::vector<Row>& rows);
    // In a left-to-right row, stretches a span that a later glyph starts left of over the rest of its word.
    void keepSpansAhead(std::vector<PlacedGlyph>& glyphs) const;

    FontSet& m_fonts;
    double m_fontSize;
    std::string m_language;
    hb_buffer_t* m_buffer;
    LineBreaks m_lineBreaks;
    bool m_rightToLeft = false;
    // The line being laid out, per character.
    std::vector<char32_t> m_chars;
    std::vector<std::uint32_t> m_offsets; // byte offset of each character, and the line's length at the end
    std::vector<int> m_faces;
    std::vector<std::uint32_t> m_scripts;
    std::vector<std::uint8_t> m_levels;
    std::vector<char> m_breaks; // whether the line may wrap after each character
    std::vector<Glyph> m_glyphs;
    std::vector<Cluster> m_clusters; // in logical order
    std::vector<std::size_t> m_order; // scratch: a row's clusters in visual order
    std::vector<std::uint32_t> m_plainGlyphs; // scratch: a cluster's characters' own glyphs
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_sortedGlyphs; // scratch: plain glyph, character
    std::vector<std::uint32_t> m_glyphChars; // scratch: the character each glyph of a cluster copies back as
    std::vector<bool> m_charTaken;
    std::vector<std::pair<float, std::uint32_t>> m_drawOrder; // scratch: a cluster's glyphs by x, as drawn
    std::vector<PlacedGlyph> m_placed; // scratch: a row's glyphs in visual order
    std::vector<std::tuple<std::size_t, std::size_t, std::size_t>> m_clusterGlyphs; // scratch: cluster, first, count
};

} // namespace papyrant
