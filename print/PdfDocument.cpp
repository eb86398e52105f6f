#include "print/PdfDocument.h"

#include "print/AtomicFile.h"

#include <cairo-pdf.h>

namespace papyrant {

PdfDocument::PdfDocument(AtomicFile& file, PaperSize paper, const std::string& title)
    : m_file(file)
{
    m_surface = cairo_pdf_surface_create_for_stream(&PdfDocument::writeToFile, this, paper.width, paper.height);
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_CREATOR, "padprint");
    m_cr = cairo_create(m_surface);
}

PdfDocument::~PdfDocument()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

cairo_status_t PdfDocument::writeToFile(void* closure, const unsigned char* data, unsigned int length)
{
    auto* self = static_cast<PdfDocument*>(closure);
    if (!self->m_file.write(data, length)) {
        self->m_writeFailed = true;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

bool PdfDocument::ok() const
{
    return !m_writeFailed && cairo_status(m_cr) == CAIRO_STATUS_SUCCESS
        && cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS;
}

bool PdfDocument::finish()
{
    cairo_surface_finish(m_surface);
    return ok();
}

} // namespace papyrant
