#include "text/ShortList.h"

#include <algorithm>

namespace papyrant {

std::string shortList(const std::vector<std::string>& items)
{
    std::string text;
    const std::size_t shown = std::min(items.size(), kListedItemsShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\r\n" + items[i];
    if (items.size() > shown)
        text += "\r\nand " + std::to_string(items.size() - shown) + " more";
    return text;
}

} // namespace papyrant
