#include "text/NameCase.h"

#include "text/Utf8.h"

namespace papyrant {

char32_t upperCaseForComparison(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 32;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 32; // Latin-1 letters, not the division sign
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x3B1 && c <= 0x3C9)
        return c == 0x3C2 ? 0x3A3 : c - 32; // final sigma folds with sigma
    if (c >= 0x430 && c <= 0x44F)
        return c - 32;
    if (c >= 0x450 && c <= 0x45F)
        return c - 80;
    return c;
}

namespace {

// Invalid bytes sort after every character.
char32_t comparisonKey(const Utf8Char& ch)
{
    return ch.valid ? upperCaseForComparison(ch.codePoint) : 0x110000 + ch.codePoint;
}

} // namespace

int compareNamesIgnoringCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const Utf8Char ca = utf8CharAt(a, i);
        const Utf8Char cb = utf8CharAt(b, j);
        const char32_t ka = comparisonKey(ca);
        const char32_t kb = comparisonKey(cb);
        if (ka != kb)
            return ka < kb ? -1 : 1;
        i += ca.length;
        j += cb.length;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

} // namespace papyrant
