#pragma once

#include "print/PrintableLines.h"

#include <functional>

namespace papyrant {

class TextDecoder;
struct PrintStyle;

// Does what readStyledText does, but on a thread of its own: the decoder's text is read, seen through the XML
// view the style asks for and cut into printable lines there, and the lines come to `take` on the caller's thread
// in order, a batch at a time, so that reading the text and laying out its pages share the machine's cores. A
// few batches at most wait in between, so memory stays bounded. `keepGoing`, asked on the caller's thread after
// each batch, can end the reading early. Whatever the reading throws (ReadError, StopRaised, bad_alloc) is thrown
// again here once the lines before it are taken; whatever `take` throws ends the reading and leaves this call.
// Returns false, having read nothing, when no thread could be started: the caller then reads on its own thread.
bool readStyledTextAside(TextDecoder& decoder, const PrintStyle& style, const PrintableLines::LineSink& take,
    const std::function<bool()>& keepGoing);

} // namespace papyrant
