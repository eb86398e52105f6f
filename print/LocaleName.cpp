#include "print/LocaleName.h"

namespace papyrant {

LocaleName parseLocaleName(std::string_view name)
{
    // language[_territory][.codeset][@modifier]
    name = name.substr(0, name.find_first_of(".@"));
    const std::size_t underscore = name.find('_');
    LocaleName parsed;
    parsed.language = std::string(name.substr(0, underscore));
    if (parsed.language == "C" || parsed.language == "POSIX")
        return {};
    if (underscore != std::string_view::npos && !parsed.language.empty())
        parsed.territory = std::string(name.substr(underscore + 1));
    return parsed;
}

std::string LocaleName::languageTag() const
{
    if (language.empty() || territory.empty())
        return language;
    return language + '-' + territory;
}

} // namespace papyrant
