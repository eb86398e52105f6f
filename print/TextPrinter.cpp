#include "print/TextPrinter.h"

#include "print/PageLayout.h"
#include "print/PdfDocument.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"

#include <string>

namespace papyrant {

int printText(ByteSource& source, PdfDocument& document, PaperSize paper)
{
    TextDecoder decoder(source);
    PageLayout layout(document.context(), paper);
    PrintableLines lines([&layout](std::string_view line) { layout.addLine(line); });
    std::string text;
    while (decoder.next(text)) {
        lines.add(text);
        text.clear();
        if (!document.ok())
            return layout.pageCount();
    }
    lines.finish();
    layout.finish();
    return layout.pageCount();
}

} // namespace papyrant
