#pragma once

#include "text/ByteWords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The one UTF-8 codec of the program and of the renderer. Well-formed means what the standard allows: overlong
// forms, surrogates and code points past U+10FFFF are not well-formed.
namespace papyrant::utf8 {

// Length of the well-formed UTF-8 sequence at p (1 to 4); 0 when the `available` bytes are a valid start that
// needs more bytes; -1 when the first byte cannot start a well-formed sequence.
int sequenceLength(const unsigned char* p, std::size_t available);

// How many of the `size` bytes at p are ASCII before the first that is not: eight at a time, since most text
// is ASCII and every pass over it starts by skipping that.
inline std::size_t asciiPrefix(const unsigned char* p, std::size_t size)
{
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        if (bytewords::anyAtOrAbove(bytewords::wordAt(p + i), 0x80))
            break;
    }
    while (i < size && p[i] < 0x80)
        ++i;
    return i;
}

// The code point of a sequence that sequenceLength accepted.
char32_t decode(const unsigned char* p, int length);

void append(std::string& out, char32_t codePoint);

} // namespace papyrant::utf8

namespace papyrant {

// One character of UTF-8 text. A byte that does not start a well-formed sequence (truncated sequences included)
// is one invalid character of length 1, so that a name of arbitrary bytes can still be walked and compared
// exactly.
struct Utf8Char
{
    char32_t codePoint = 0; // the byte value itself when not valid
    std::size_t length = 1;
    bool valid = true;
};

// The character that starts at position (which must be inside text).
Utf8Char utf8CharAt(std::string_view text, std::size_t position);

} // namespace papyrant
