#pragma once

#include <string>

namespace papyrant {

class MessageBoxes;
class PrinterSystem;

// The name of the system's default printer, read afresh at each call. When it cannot be read the reader's own
// report is shown and the result is the empty text.
std::string GetDefaultPrinter(PrinterSystem& printers, MessageBoxes& messages);

// Makes the named printer the user's default printer. Never throws; on failure shows "Cannot set printer." when
// asked to and returns false.
bool SetPrinterAsDefault(
    PrinterSystem& printers, MessageBoxes& messages, const std::string& printerName, bool showMessage);

} // namespace papyrant
