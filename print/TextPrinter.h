#pragma once

#include "print/EncodingChoice.h"
#include "print/PaperSize.h"
#include "print/PrintStyle.h"

#include <cstdint>
#include <memory>
#include <string>

namespace papyrant {

class ByteSink;
class ByteSource;
class FontSet;
class PdfDocument;

struct PrintJob
{
    PaperSize paper = kPaperA4;
    std::string title; // the document's title, usually the source's file name
    std::string locale; // orders the fallback faces; see fallbackFamilies
    std::string creator = "padprint"; // the program that made the PDF, as its information says
    PrintStyle style {}; // its paper, when set, takes the place of `paper`
    std::string modified {}; // when the source was last changed, "YYYY-MM-DD HH:MM" in local time, for the header
    std::uint64_t sourceSize = 0; // the source's size in bytes when known: bounds its line numbers' width
};

// The sheet the job's pages are: the style's paper, else the job's, turned on its side for landscape.
PaperSize pagePaper(const PrintJob& job);

struct PrintOutcome
{
    int pages = 0;
    std::string problem; // empty when the PDF was written whole
    EncodingChoice encoding; // what the text was read as
};

// Prints the text of `source` as a PDF into `sink`: decoded, cut into printable lines and laid out a page at
// a time, so memory does not grow with the file. Stops early once the sink fails. Throws ReadError when
// the source cannot be read.
PrintOutcome printText(ByteSource& source, ByteSink& sink, const PrintJob& job);

// A new document for a job's pages, with its paper, title, creator and type size; `fonts` must outlive it.
std::unique_ptr<PdfDocument> newDocument(ByteSink& sink, FontSet& fonts, const PrintJob& job);

// Prints the text of `source` as new pages at the end of `document`, which may hold other files' pages before
// and after; `fonts` must be the document's. Sets the outcome's pages and encoding; the caller finishes the
// document. Throws ReadError when the source cannot be read.
PrintOutcome printTextInto(PdfDocument& document, FontSet& fonts, ByteSource& source, const PrintJob& job);

} // namespace papyrant
