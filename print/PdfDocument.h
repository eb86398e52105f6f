#pragma once

#include "print/PaperSize.h"

#include <cairo.h>
#include <string>

namespace papyrant {

class AtomicFile;

// A Cairo PDF surface that writes into an AtomicFile, with the document's title set. Fonts are embedded as
// subsets and page contents compressed by Cairo.
class PdfDocument
{
public:
    PdfDocument(AtomicFile& file, PaperSize paper, const std::string& title);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    cairo_t* context()
    {
        return m_cr;
    }
    // Whether drawing and writing have gone well so far.
    bool ok() const;
    // Writes the end of the document; false when Cairo or the file failed.
    bool finish();

private:
    static cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length);

    AtomicFile& m_file;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    bool m_writeFailed = false;
};

} // namespace papyrant
