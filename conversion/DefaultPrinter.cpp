#include "conversion/DefaultPrinter.h"

#include "conversion/ConversionMessages.h"
#include "platform/Printers.h"
#include "runtime/MessageBoxes.h"
#include "runtime/RuntimeError.h"

namespace papyrant {

std::string GetDefaultPrinter(PrinterSystem& printers, MessageBoxes& messages)
{
    std::string name;
    try {
        name = printers.defaultPrinter();
    } catch (const RuntimeError& error) {
        messages.show(buildDefaultPrinterReport(error));
    }
    return name;
}

bool SetPrinterAsDefault(
    PrinterSystem& printers, MessageBoxes& messages, const std::string& printerName, bool showMessage)
{
    bool done = false;
    try {
        done = printers.setDefaultPrinter(printerName);
    } catch (const std::exception&) {
        done = false; // noted, never passed on
    }
    if (!done && showMessage)
        messages.show(Message { "Cannot set printer.", std::nullopt, MessageIcon::None, MessageButtons::Ok });
    return done;
}

} // namespace papyrant
