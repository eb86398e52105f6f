#pragma once

#include <cstdint>

namespace papyrant {

// One glyph of a laid-out row, as the PDF document draws it.
struct PlacedGlyph
{
    enum class Span : std::uint8_t
    {
        None, // copies back as its own text
        Open, // first glyph of a cluster drawn with several glyphs: the cluster's text goes with the span
        Inside,
        Close, // last glyph of such a cluster
    };

    int face; // in the document's FontSet; FontSet::kNoFace draws the main face's placeholder glyph
    std::uint32_t glyph;
    float x; // from the row's left edge, in points
    float rise; // above the baseline, in points
    int advance; // how far the next glyph is placed from this one, before offsets, in font units
    std::uint32_t textBegin; // the bytes of the line this glyph (or its span) copies back as
    std::uint32_t textLength;
    Span span;
};

} // namespace papyrant
