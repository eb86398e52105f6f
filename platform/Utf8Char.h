#pragma once

#include <cstddef>
#include <string_view>

namespace papyrant {

// One character of UTF-8 text. A byte that does not start a well-formed sequence (overlong forms, surrogates,
// code points past U+10FFFF, truncated sequences) is one invalid character of length 1, so that a name of
// arbitrary bytes can still be walked and compared exactly.
struct Utf8Char
{
    char32_t codePoint = 0; // the byte value itself when not valid
    std::size_t length = 1;
    bool valid = true;
};

// The character that starts at position (which must be inside text).
Utf8Char utf8CharAt(std::string_view text, std::size_t position);

} // namespace papyrant
