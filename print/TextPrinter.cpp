#include "print/TextPrinter.h"

#include "print/FontSet.h"
#include "print/PageLayout.h"
#include "print/PdfDocument.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"
#include "print/XmlTextView.h"

#include <optional>
#include <string>
#include <utility>

namespace papyrant {

PaperSize pagePaper(const PrintJob& job)
{
    PaperSize paper = job.style.paper.value_or(job.paper);
    if (job.style.landscape)
        std::swap(paper.width, paper.height);
    return paper;
}

PrintOutcome printTextInto(PdfDocument& document, FontSet& fonts, ByteSource& source, const PrintJob& job)
{
    PrintOutcome outcome;
    TextDecoder decoder(source);
    outcome.encoding = decoder.encoding();
    PageLayout layout(document, fonts, job);
    PrintableLines lines([&layout](const PrintLine& line) { layout.addLine(line); });
    readStyledText(decoder, job.style, lines, [&document] { return document.ok(); });
    layout.finish();
    outcome.pages = layout.pageCount();
    return outcome;
}

std::unique_ptr<PdfDocument> newDocument(ByteSink& sink, FontSet& fonts, const PrintJob& job)
{
    return std::make_unique<PdfDocument>(sink, pagePaper(job), job.title, job.creator, fonts, job.style.fontSize);
}

PrintOutcome printText(ByteSource& source, ByteSink& sink, const PrintJob& job)
{
    FontSet fonts(job.locale);
    if (!fonts.valid()) {
        PrintOutcome outcome;
        outcome.problem = fonts.problem();
        return outcome;
    }
    const std::unique_ptr<PdfDocument> document = newDocument(sink, fonts, job);
    PrintOutcome outcome = printTextInto(*document, fonts, source, job);
    if (!document->finish(outcome.problem) && outcome.problem.empty())
        outcome.problem = "the PDF could not be written";
    return outcome;
}

} // namespace papyrant
