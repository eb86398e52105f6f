#include "print/FontFallback.h"

#include "print/LocaleName.h"

#include <cstdlib>

namespace papyrant {

namespace {

constexpr const char* kSimplifiedChinese = "WenQuanYi Micro Hei Mono";
constexpr const char* kJapanese = "IPAGothic";
constexpr const char* kKorean = "D2Coding";
constexpr const char* kTraditionalChinese = "AR PL Mingti2L Big5";

std::vector<std::string> cjkFamilies(std::string_view localeName)
{
    const LocaleName locale = parseLocaleName(localeName);
    if (locale.language == "ja")
        return { kJapanese, kSimplifiedChinese, kKorean, kTraditionalChinese };
    if (locale.language == "ko")
        return { kKorean, kSimplifiedChinese, kJapanese, kTraditionalChinese };
    if (locale.language == "zh" && (locale.territory == "TW" || locale.territory == "HK" || locale.territory == "MO"))
        return { kTraditionalChinese, kSimplifiedChinese, kJapanese, kKorean };
    // Simplified Chinese forms elsewhere; the Japanese face then adds the rarer ideographs it alone has.
    return { kSimplifiedChinese, kJapanese, kKorean, kTraditionalChinese };
}

} // namespace

std::vector<std::string> fallbackFamilies(std::string_view localeName)
{
    std::vector<std::string> families = cjkFamilies(localeName);
    for (const char* family :
        { "Lohit Devanagari", "Lohit Bengali", "Lohit Gurmukhi", "Lohit Gujarati", "Lohit Odia", "Lohit Tamil",
            "Lohit Telugu", "Lohit Kannada", "Lohit Malayalam", "Tlwg Typo", "Symbola", "DejaVu Sans", "Amiri" })
        families.emplace_back(family);
    return families;
}

std::string textLocaleFromEnvironment()
{
    for (const char* name : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

} // namespace papyrant
