#pragma once

#include "print/PrintLine.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace papyrant {

// A colour of ink, 0 to 255 per channel.
struct Colour
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack {};

// The ink of each style, in the order of TextStyle. Hues far apart, so that neighbouring tokens tell apart on
// screen; lumas between 0.25 and 0.45.
inline constexpr std::array<Colour, 10> kStyleColours { {
    kBlack, // Text
    { 0x1A, 0x4F, 0x9C }, // Markup: blue
    { 0x7A, 0x3E, 0x00 }, // AttributeName: brown
    { 0xB2, 0x22, 0x22 }, // AttributeValue: red
    { 0x2E, 0x7D, 0x32 }, // Comment: green
    { 0x00, 0x80, 0x80 }, // CData: teal
    { 0x7B, 0x1F, 0xA2 }, // ProcessingInstruction: purple
    { 0xAD, 0x14, 0x57 }, // Declaration: magenta
    { 0xC0, 0x58, 0x00 }, // EntityReference: orange
    { 0x61, 0x61, 0x61 }, // Folded: grey
} };
static_assert(static_cast<std::size_t>(TextStyle::Folded) + 1 == kStyleColours.size(), "a colour for every style");

// The ink of a style in a coloured print-out. Plain text is black; every other colour is dark enough (a Rec. 709
// luma of 0.55 or less) to stay readable when the page goes through a grey-only printer. Inline: the layout asks
// for it once a character.
constexpr Colour colourOf(TextStyle style)
{
    const auto index = static_cast<std::size_t>(style);
    return index < kStyleColours.size() ? kStyleColours[index] : kBlack;
}

} // namespace papyrant
