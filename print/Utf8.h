#pragma once

#include <cstddef>
#include <string>

namespace papyrant::utf8 {

// Length of the well-formed UTF-8 sequence at p (1 to 4); 0 when the `available` bytes are a valid start that
// needs more bytes; -1 when the first byte cannot start a well-formed sequence (overlong forms, surrogates and
// code points past U+10FFFF are not well-formed).
int sequenceLength(const unsigned char* p, std::size_t available);

// The code point of a sequence that sequenceLength accepted.
char32_t decode(const unsigned char* p, int length);

void append(std::string& out, char32_t codePoint);

// The character Windows-1252 gives a byte; the five bytes it leaves undefined become the C1 controls of the
// same value, as Windows converts them, so that nothing is lost.
char32_t fromWindows1252(unsigned char byte);

} // namespace papyrant::utf8
