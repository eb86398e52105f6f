#pragma once

namespace papyrant {

// The character Windows-1252 gives a byte; the five bytes it leaves undefined become the C1 controls of the
// same value, as Windows converts them, so that nothing is lost.
char32_t fromWindows1252(unsigned char byte);

} // namespace papyrant
