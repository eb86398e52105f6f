#pragma once

#include <cstdint>

namespace papyrant {

// One glyph of a laid-out row, as the PDF document draws it. Rows are drawn in the order their glyphs are placed,
// left to right. What a glyph copies back as is given twice: its code's own text, for readers that take text
// glyph by glyph, and a span's text over a stretch of glyphs (a cluster drawn with several glyphs, a run of
// right-to-left text), for readers that take the span's text instead of its glyphs'.
struct PlacedGlyph
{
    int face; // in the document's FontSet; FontSet::kNoFace draws the main face's placeholder glyph
    std::uint32_t glyph;
    float x; // from the row's left edge, in points
    float rise; // above the baseline, in points
    int advance; // how far the next glyph is placed from this one, before offsets, in font units
    std::uint32_t textBegin; // the bytes of the line this glyph's code copies back as; none when textLength is 0
    std::uint32_t textLength;
    std::uint32_t spanBegin; // when spanLength is not 0, a span starts at this glyph and copies back as these bytes
    std::uint32_t spanLength;
    bool closesSpan; // the last glyph of a span
    bool startsTextObject; // the first glyph of a run of the other direction: a new text object starts here
    // The pen stays where this glyph is drawn, though its code's width (`advance`) reaches further: for readers
    // that take a character's extent from its code's width.
    bool holdsPen;
    bool startsShow = false; // a show of its own starts here, placed where the glyph is
};

} // namespace papyrant
