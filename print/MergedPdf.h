#pragma once

#include "print/EncodingChoice.h"
#include "print/FontSet.h"
#include "print/TextPrinter.h"

#include <memory>
#include <string>

namespace papyrant {

class ByteSink;
class ByteSource;
class PdfDocument;

// Several files printed one after another into one PDF, through one document and one set of fonts, so that
// every face is embedded once for all of them. Each file gets a bookmark that leads to its first page and page
// labels that count from 1 again. A file whose bytes cannot be read is left out whole: none of its pages is
// reachable in the PDF, and the next file begins where it began.
class MergedPdf
{
public:
    // `job` gives the document's paper, title, creator and the locale that orders the fonts.
    MergedPdf(ByteSink& sink, const PrintJob& job);
    ~MergedPdf();
    MergedPdf(const MergedPdf&) = delete;
    MergedPdf& operator=(const MergedPdf&) = delete;

    // False when the fonts could not be loaded; problem() says why.
    bool valid() const
    {
        return m_fonts.valid();
    }
    const std::string& problem() const
    {
        return m_fonts.problem();
    }

    struct Added
    {
        bool merged = false;
        int firstPage = 0; // counted from 1 in the whole PDF
        int pages = 0;
        EncodingChoice encoding;
        std::string reason; // not merged: why, for a person
    };
    // Prints `source` as the next file, with `bookmark` as its bookmark's title and `job` for how it is printed.
    // Anything but a read error (a stop raised through the source, a lack of memory) is thrown on; the PDF is
    // then not to be finished.
    Added add(ByteSource& source, const PrintJob& job, const std::string& bookmark);

    // The files merged so far.
    int files() const
    {
        return m_files;
    }
    // Whether the bytes have been written well so far.
    bool ok() const;
    // Writes the fonts, the outline and the end of the file; false with `problem` set when that fails.
    bool finish(std::string& problem);

private:
    FontSet m_fonts;
    std::unique_ptr<PdfDocument> m_document;
    int m_files = 0;
};

} // namespace papyrant
