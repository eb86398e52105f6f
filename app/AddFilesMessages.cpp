#include "app/AddFilesMessages.h"

#include "text/ShortList.h"

namespace papyrant {

Message buildTooManyFilesMessage()
{
    std::string text = "You've selected too many files to add.";
    text += "\r\r";
    text += "Please try adding via the \"Add All\" button.";
    return Message { text, std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

Message buildFoldersLeftOutMessage(const std::vector<std::string>& folders)
{
    std::string text = folders.size() == 1 ? "This folder was" : std::to_string(folders.size()) + " folders were";
    text += " left out: the system's code page cannot hold "
        + std::string(folders.size() == 1 ? "its name" : "their names") + ", so their files could not be converted.";
    text += "\r\n" + shortList(folders);
    return Message { text, std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok };
}

} // namespace papyrant
