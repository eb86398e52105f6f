#include "print/PaperSize.h"

#include "print/LocaleName.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace papyrant {

PaperSize paperForLocaleName(std::string_view localeName)
{
    // The territories whose locales print on Letter.
    static constexpr std::array<std::string_view, 12> kLetterTerritories = {
        "US",
        "CA",
        "MX",
        "PR",
        "PH",
        "CL",
        "CO",
        "VE",
        "CR",
        "GT",
        "PA",
        "SV",
    };
    const std::string territory = parseLocaleName(localeName).territory;
    const bool letter
        = std::find(kLetterTerritories.begin(), kLetterTerritories.end(), territory) != kLetterTerritories.end();
    return letter ? kPaperLetter : kPaperA4;
}

PaperSize paperForEnvironment()
{
    for (const char* variable : { "LC_ALL", "LC_PAPER", "LANG" }) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return paperForLocaleName(value);
    }
    return kPaperA4;
}

} // namespace papyrant
