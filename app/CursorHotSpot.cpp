#include "app/CursorHotSpot.h"

#include <algorithm>

namespace papyrant {

HotSpot cursorHotSpot(std::string_view fileBytes, int pictureWidth, int pictureHeight)
{
    if (fileBytes.size() < 14 || fileBytes[2] != 2 || fileBytes[3] != 0)
        return {};
    auto word = [&](std::size_t at) {
        return static_cast<unsigned char>(fileBytes[at]) | static_cast<unsigned char>(fileBytes[at + 1]) << 8;
    };
    return { std::min(word(10), pictureWidth - 1), std::min(word(12), pictureHeight - 1) };
}

} // namespace papyrant
