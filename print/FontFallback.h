#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// The face every print-out is set in, and the one file it is opened from when that file is there.
inline constexpr const char* kMainFamily = "DejaVu Sans Mono";
inline constexpr const char* kMainFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// The families asked, in this order, for a character the main face lacks. Monospaced faces come first where
// a script has one; the CJK faces are ordered by the locale so that shared ideographs take the forms its
// readers expect (Japanese, Korean, traditional or simplified Chinese); emoji come from a monochrome face.
// Thai comes from a monospaced face that places its vowel and tone marks over their consonant. The Arabic
// face comes last: it draws only what DejaVu lacks (alef wasla, the extended Arabic blocks), so the letters
// DejaVu draws keep its forms.
// All of them are TrueType faces from Debian packages that the scripts and the package install.
std::vector<std::string> fallbackFamilies(std::string_view localeName);

// The locale whose glyph forms the print-out follows: LC_ALL, else LC_CTYPE, else LANG.
std::string textLocaleFromEnvironment();

} // namespace papyrant
