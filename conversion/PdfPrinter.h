#pragma once

#include "platform/PdfPrinterProtocol.h"

#include <string>

namespace papyrant {

class MessageBoxes;
class PrinterSystem;

// Whether a printer named exactly "Quillmark PDF Writer" (letter case counts) is installed. A printer list that
// cannot be read counts as no such printer.
bool isPdfPrinterInstalled(PrinterSystem& printers);

// Selects the PDF printer as the program's current printer: the first installed printer of that exact name.
// There is no printer object of the program's own here, so this only finds it; returns whether it was found.
bool selectPdfPrinter(PrinterSystem& printers);

// The installation instructions shown at start-up when the PDF printer is missing.
std::string pdfPrinterInstructions();

// Start-up check: shows the installation instructions once when the PDF printer is not installed.
void CheckPdfPrinter(PrinterSystem& printers, MessageBoxes& messages);

} // namespace papyrant
