#pragma once

#include <string>
#include <string_view>

namespace papyrant {

// A sheet of paper in PostScript points (1/72 inch).
struct PaperSize
{
    const char* name;
    double width;
    double height;
};

inline constexpr PaperSize kPaperA4 { "A4", 595.2756, 841.8898 };
inline constexpr PaperSize kPaperLetter { "Letter", 612.0, 792.0 };
inline constexpr PaperSize kPaperLegal { "Legal", 612.0, 1008.0 };

// The paper of a locale name such as "en_US.UTF-8": Letter in the countries that use it, A4 everywhere else
// (including the C and POSIX locales).
PaperSize paperForLocaleName(std::string_view localeName);

// The paper of the user's locale: LC_ALL, else LC_PAPER, else LANG, the first one set and not empty.
PaperSize paperForEnvironment();

} // namespace papyrant
