#include "platform/ErrorReport.h"

#include "platform/RuntimeError.h"

namespace papyrant {

Message buildErrorReport(const RuntimeError& error, const std::string& location, int step)
{
    std::string text = error.description();
    text += "\r\n";
    text += "in " + location + " ";
    text += "at line ";
    text += std::to_string(step);
    text += "\r\r";
    text += "Please email screenshot of this message to ";
    text += kSupportAddress;
    return Message { text, std::string("Application Error"), MessageIcon::Exclamation, MessageButtons::Ok };
}

Message buildTooManyFilesMessage()
{
    std::string text = "You've selected too many files to add.";
    text += "\r\r";
    text += "Please try adding via the \"Add All\" button.";
    return Message { text, std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

Message buildDefaultPrinterReport(const RuntimeError& error)
{
    std::string text = "Error No: " + std::to_string(error.number()) + "\r\n";
    text += error.description() + "\r\n";
    text += "Has occured in ";
    text += "modPrinters.GetDefaultPrinter";
    text += "\r\n";
    text += "Please contact Technical Support";
    return Message { text, std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

} // namespace papyrant
