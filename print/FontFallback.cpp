#include "print/FontFallback.h"

#include <cstdlib>

namespace papyrant {

namespace {

constexpr const char* kSimplifiedChinese = "WenQuanYi Micro Hei Mono";
constexpr const char* kJapanese = "IPAGothic";
constexpr const char* kKorean = "D2Coding";
constexpr const char* kTraditionalChinese = "AR PL Mingti2L Big5";

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> cjkFamilies(std::string_view locale)
{
    if (startsWith(locale, "ja"))
        return { kJapanese, kSimplifiedChinese, kKorean, kTraditionalChinese };
    if (startsWith(locale, "ko"))
        return { kKorean, kSimplifiedChinese, kJapanese, kTraditionalChinese };
    if (startsWith(locale, "zh_TW") || startsWith(locale, "zh_HK") || startsWith(locale, "zh_MO"))
        return { kTraditionalChinese, kSimplifiedChinese, kJapanese, kKorean };
    // Simplified Chinese forms elsewhere; the Japanese face then adds the rarer ideographs it alone has.
    return { kSimplifiedChinese, kJapanese, kKorean, kTraditionalChinese };
}

} // namespace

std::vector<std::string> fallbackFamilies(std::string_view localeName)
{
    std::vector<std::string> families = cjkFamilies(localeName);
    for (const char* family : { "Lohit Devanagari", "Lohit Bengali", "Lohit Gurmukhi", "Lohit Gujarati", "Lohit Odia",
             "Lohit Tamil", "Lohit Telugu", "Lohit Kannada", "Lohit Malayalam", "Tlwg Mono", "Symbola", "DejaVu Sans" })
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
