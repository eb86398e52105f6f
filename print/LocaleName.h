#pragma once

#include <string>
#include <string_view>

namespace papyrant {

// A POSIX locale name ("pt_BR.UTF-8@euro") taken apart: the language and territory are what the print-outs
// follow (glyph forms, line breaking, paper); the code set and modifier are dropped.
struct LocaleName
{
    std::string language; // "pt"; empty for the C and POSIX locales and for an empty name
    std::string territory; // "BR"; empty when the name has none

    // The language as a BCP 47 tag ("pt-BR"), as HarfBuzz and ICU take it; empty when there is no language.
    std::string languageTag() const;
};

LocaleName parseLocaleName(std::string_view name);

} // namespace papyrant
