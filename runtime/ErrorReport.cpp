#include "runtime/ErrorReport.h"

#include "runtime/RuntimeError.h"

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
} // namespace papyrant
