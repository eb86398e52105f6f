#include "text/Wildcard.h"

#include "text/NameCase.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;

TEST(Wildcard, MatchesAsTheHomePlatformDoes)
{
    struct Case
    {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        { "a.xml", "*.xml", true },
        { "A.XML", "*.xml", true },
        { "a.Xml", "*.XML", true },
        { ".xml", "*.xml", true },
        { "a.xml.bak", "*.xml", false },
        { "axml", "*.xml", false },
        { "a.xmll", "*.xml", false },
        { "noext", "*.*", true },
        { "a.b.c", "*.*", true },
        { ".hidden", "*.*", true },
        { "x", "*", true },
        { "report", "report.*", true },
        { "report.txt", "report.*", true },
        { "reports", "report.*", false },
        { "ab", "a?", true },
        { "a", "a?", false },
        { "abc", "a?", false },
        { "aΩ", "a?", true }, // one character, two bytes
        { "ÄRGER.xml", "ärger.XML", true }, // Latin-1 letters fold
        { "ΣΟΦΙΑ.xml", "σοφια.xml", true }, // Greek
        { "ДОМ.xml", "дом.*", true }, // Cyrillic
        { "a\xff.xml", "a?.xml", true }, // an invalid byte is one character
        { "a\xff.xml", "a\xfe.xml", false },
        { "a\xff.xml", "A\xff.XML", true },
        { "aaab", "*a*b", true },
        { "abab", "*ab", true },
        { "abac", "*ab", false },
        { "mississippi", "m*iss*ppi", true },
        { "mississippi", "m*iss*ppx", false },
        { "x", "", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(NameOrder, SortsWithoutRegardToCaseThenByBytes)
{
    std::vector<std::string> names = { "b", "ä", "_x", "B", "Ä", "a10", "a", "A", "a\xff", "a2" };
    std::sort(names.begin(), names.end(), nameSortsBefore);
    // "_" sorts after the letters because letters compare in their upper-case form.
    const std::vector<std::string> expected = { "A", "a", "a10", "a2", "a\xff", "B", "b", "_x", "Ä", "ä" };
    EXPECT_EQ(names, expected);
    EXPECT_EQ(compareNamesIgnoringCase("Name", "Name"), 0);
    EXPECT_LT(compareNamesIgnoringCase("name", "NAMES"), 0);
}
