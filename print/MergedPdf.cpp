#include "print/MergedPdf.h"

#include "print/PdfDocument.h"
#include "print/ReadError.h"

namespace papyrant {

MergedPdf::MergedPdf(ByteSink& sink, const PrintJob& job)
    : m_fonts(job.locale)
{
    if (m_fonts.valid())
        m_document = newDocument(sink, m_fonts, job);
}

MergedPdf::~MergedPdf() = default;

bool MergedPdf::ok() const
{
    return m_document && m_document->ok();
}

MergedPdf::Added MergedPdf::add(ByteSource& source, const PrintJob& job, const std::string& bookmark)
{
    Added added;
    if (!m_document) {
        added.reason = problem();
        return added;
    }
    const int before = m_document->pageCount();
    m_document->beginSection(bookmark);
    try {
        const PrintOutcome printed = printTextInto(*m_document, m_fonts, source, job);
        added.pages = printed.pages;
        added.encoding = printed.encoding;
    } catch (const ReadError& error) {
        m_document->dropSection();
        added.reason = std::string("cannot read the file: ") + error.what();
        return added;
    }
    added.merged = true;
    added.firstPage = before + 1;
    ++m_files;
    return added;
}

bool MergedPdf::finish(std::string& problem)
{
    if (!m_document) {
        problem = this->problem();
        return false;
    }
    if (!m_document->finish(problem)) {
        if (problem.empty())
            problem = "the PDF could not be written";
        return false;
    }
    return true;
}

} // namespace papyrant
