#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace papyrant {

// A picture of a cursor or icon file (.cur, .ico), read without the toolkit's image plugins: at start-up, finding
// and loading those was most of the cost of reading the window's cursor and icon.
struct IconPicture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // 0xAARRGGBB, not premultiplied, rows from the top
};

// The number of pictures in the file's directory; 0 for a file that is neither kind.
std::size_t iconPictureCount(std::string_view fileBytes);

// The width of the entry'th picture as its directory entry gives it (256 for the entry's 0), 0 for no such entry.
int iconPictureWidth(std::string_view fileBytes, std::size_t entry);

// Reads the entry'th picture (the first is the one a cursor shows) when it is one of the uncompressed bitmaps such
// files hold: 1, 4 and 8 bits with a colour table, 24 bits, and 32 bits with an alpha channel, each with its
// transparency mask. Anything else (a PNG picture, a compressed or damaged bitmap, no such entry) gives nothing,
// and the caller hands the picture to the toolkit's readers.
std::optional<IconPicture> readIconPicture(std::string_view fileBytes, std::size_t entry = 0);

} // namespace papyrant
