#include "conversion/PdfPrinter.h"

#include "platform/Printers.h"
#include "runtime/MessageBoxes.h"
#include "runtime/RuntimeError.h"

namespace papyrant {

bool isPdfPrinterInstalled(PrinterSystem& printers)
{
    try {
        for (const auto& name : printers.installedPrinters()) {
            if (name == kPdfPrinterName)
                return true;
        }
    } catch (const RuntimeError&) {
        // No list of printers: no PDF printer either.
    }
    return false;
}

bool selectPdfPrinter(PrinterSystem& printers)
{
    return isPdfPrinterInstalled(printers);
}

std::string pdfPrinterInstructions()
{
    const std::string name = kPdfPrinterName;
    std::string text = name + " is not installed. Please follow these instructions:";
    text += "\r\n\r\n";
    text += "1) Go to Control Panel -> Printers and Faxes to add a local printer.";
    text += "\r\n";
    text += "2) Choose ''CPW2: (" + name + ")'' on Select a Printer Port dialog box, click Next.";
    text += "\r\n";
    text += "3) Choose a Postscript printer (e.g. HP Color LaserJet PS), click Next.";
    text += "\r\n";
    text += "4) Enter " + name + " as Printer name, click Next -> Finish.";
    return text;
}

void CheckPdfPrinter(PrinterSystem& printers, MessageBoxes& messages)
{
    if (!isPdfPrinterInstalled(printers))
        messages.show(Message { pdfPrinterInstructions(), std::nullopt, MessageIcon::None, MessageButtons::Ok });
}

} // namespace papyrant
