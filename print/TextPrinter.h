#pragma once

#include "print/PaperSize.h"

namespace papyrant {

class ByteSource;
class PdfDocument;

// Prints the text of `source` onto `document`: decoded, cut into printable lines and laid out a page at a
// time, so memory does not grow with the file. Stops early once the document cannot be written. Returns the
// number of pages; throws RuntimeError when the source cannot be read.
int printText(ByteSource& source, PdfDocument& document, PaperSize paper);

} // namespace papyrant
