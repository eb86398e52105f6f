#pragma once

#include "print/PaperSize.h"

#include <cstddef>
#include <optional>

namespace papyrant {

// How a print-out looks beyond the text itself. The defaults give the plain print-out every program made
// before these choices existed; the window and padprint always use them.
struct PrintStyle
{
    static constexpr double kDefaultFontSize = 10.0;
    static constexpr double kMinFontSize = 6.0;
    static constexpr double kMaxFontSize = 24.0;
    static constexpr std::size_t kMinFoldBase64 = 256;

    std::optional<PaperSize> paper; // none: the paper of the user's locale
    bool landscape = false;
    double fontSize = kDefaultFontSize;
    bool lineNumbers = false; // the source's line numbers in a gutter
    bool header = false; // the file's name, its modification time and "Page N of M" on every page
    bool xmlPretty = false; // indent elements that run together
    bool xmlColour = false; // colour the XML syntax
    std::size_t foldBase64 = 0; // 0: off; else base64 runs longer than this are shown by their ends only
};

} // namespace papyrant
