#include "app/CursorHotSpot.h"

#include <gtest/gtest.h>
#include <string>

namespace papyrant {
namespace {

// The header and first directory entry of a cursor or icon file, with the two words that a cursor file uses
// for its hot spot.
std::string header(char type, unsigned x, unsigned y)
{
    std::string bytes = { 0, 0, type, 0, 1, 0, 32, 32, 0, 0 };
    bytes += { static_cast<char>(x & 0xFF), static_cast<char>(x >> 8), static_cast<char>(y & 0xFF),
        static_cast<char>(y >> 8) };
    return bytes + std::string(8, '\0');
}

TEST(CursorHotSpot, ComesFromACursorFilesFirstEntryAndStaysInsideThePicture)
{
    EXPECT_EQ(cursorHotSpot(header(2, 3, 17), 32, 32), (HotSpot { 3, 17 }));
    EXPECT_EQ(cursorHotSpot(header(2, 0x0105, 40), 32, 32), (HotSpot { 31, 31 })); // past the picture
    // An icon keeps its planes and bit count there: no hot spot of its own.
    EXPECT_EQ(cursorHotSpot(header(1, 3, 17), 32, 32), (HotSpot { 0, 0 }));
    // Too short to hold the entry.
    EXPECT_EQ(cursorHotSpot(header(2, 3, 17).substr(0, 13), 32, 32), (HotSpot { 0, 0 }));
}

} // namespace
} // namespace papyrant
