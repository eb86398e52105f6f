#pragma once

#include <string_view>

namespace papyrant {

// Names compare without regard to case, as on the home platform's file system: each character is taken in its
// upper-case form (Latin, Greek and Cyrillic letters), a byte that is not UTF-8 stands for itself.
char32_t upperCaseForComparison(char32_t codePoint);

// Negative, zero or positive, by the characters' upper-case forms; names equal that way are ordered by their
// bytes, so that the order is total and never depends on the disk.
int compareNamesIgnoringCase(std::string_view a, std::string_view b);

inline bool nameSortsBefore(std::string_view a, std::string_view b)
{
    return compareNamesIgnoringCase(a, b) < 0;
}

} // namespace papyrant
