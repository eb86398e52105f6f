#include "app/AddFilesMessages.h"

namespace papyrant {

Message buildTooManyFilesMessage()
{
    std::string text = "You've selected too many files to add.";
    text += "\r\r";
    text += "Please try adding via the \"Add All\" button.";
    return Message { text, std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

} // namespace papyrant
