#include "text/Wildcard.h"

#include "text/NameCase.h"
#include "text/Utf8.h"

namespace papyrant {

namespace {

bool sameCharacter(const Utf8Char& a, const Utf8Char& b)
{
    if (a.valid != b.valid)
        return false;
    if (!a.valid)
        return a.codePoint == b.codePoint;
    return upperCaseForComparison(a.codePoint) == upperCaseForComparison(b.codePoint);
}

bool globMatch(std::string_view name, std::string_view pattern)
{
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = kNone; // where the pattern goes on after the last "*"
    std::size_t starName = 0; // where that "*" stopped taking characters
    while (n < name.size()) {
        if (p < pattern.size()) {
            if (pattern[p] == '*') {
                starPattern = ++p;
                starName = n;
                continue;
            }
            const Utf8Char pc = utf8CharAt(pattern, p);
            const Utf8Char nc = utf8CharAt(name, n);
            if ((pc.valid && pc.codePoint == U'?') || sameCharacter(pc, nc)) {
                p += pc.length;
                n += nc.length;
                continue;
            }
        }
        if (starPattern == kNone)
            return false;
        // Let the last "*" take one more character and try again from there.
        starName += utf8CharAt(name, starName).length;
        n = starName;
        p = starPattern;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesWildcard(std::string_view name, std::string_view pattern)
{
    if (globMatch(name, pattern))
        return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return globMatch(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

} // namespace papyrant
