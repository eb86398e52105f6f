#pragma once

#include <QRect>
#include <cmath>

namespace papyrant {

// Layout sizes are given in twips (1/1440 inch) and converted with the screen's logical dpi.
inline int twipsToPixels(int twips, double logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

inline QRect twipsRect(int left, int top, int width, int height, double logicalDpi)
{
    return QRect(twipsToPixels(left, logicalDpi), twipsToPixels(top, logicalDpi), twipsToPixels(width, logicalDpi),
        twipsToPixels(height, logicalDpi));
}

} // namespace papyrant
