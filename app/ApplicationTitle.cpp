#include "app/ApplicationTitle.h"

namespace papyrant {

std::string applicationTitleFor(const std::string& productName)
{
    std::string title = productName;
    do {
        const auto space = title.rfind(' ');
        if (space == std::string::npos)
            break; // nothing left to cut: the original loop would not end either
        title.erase(space);
    } while (title.size() > 40);
    return title;
}

} // namespace papyrant
