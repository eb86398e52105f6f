#pragma once

#include "print/PrintLine.h"

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

// The ink of each style of a coloured print-out. Plain text is black; every other colour is dark enough
// (a Rec. 709 luma of 0.55 or less) to stay readable when the page goes through a grey-only printer.
Colour colourOf(TextStyle style);

} // namespace papyrant
