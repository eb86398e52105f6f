#pragma once

#include "print/WebEncoding.h"

#include <string_view>

// How the encoding of text without a byte-order mark or a usable declaration is recognised from its bytes.
namespace papyrant {

// UTF-16LE or UTF-16BE when at least one unit in four of `head` has a NUL byte and all those NULs sit on odd
// offsets (little-endian ASCII) or all on even ones (big-endian); else nullptr.
const WebEncoding* utf16FromNuls(std::string_view head);

// The legacy encoding that uchardet recognises in `sample` (the start of a file that is not UTF-8; `whole` when
// it is the whole file), taken only when the sample decodes in it without an error and holds enough bytes past
// ASCII to go on; else nullptr. Short Western text therefore stays with the caller's fallback.
const WebEncoding* detectLegacyEncoding(std::string_view sample, bool whole);

} // namespace papyrant
