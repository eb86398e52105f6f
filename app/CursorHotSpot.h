#pragma once

#include <string_view>

namespace papyrant {

struct HotSpot
{
    int x = 0;
    int y = 0;
    bool operator==(const HotSpot&) const = default;
};

// The hot spot of a cursor file, which Qt's image reader does not report: a cursor file (resource type 2) keeps
// it in its first directory entry, where an icon keeps its planes and bit count. Anything else, or a file too
// short to hold it, points at the top left corner; a hot spot past the picture is kept inside it.
HotSpot cursorHotSpot(std::string_view fileBytes, int pictureWidth, int pictureHeight);

} // namespace papyrant
