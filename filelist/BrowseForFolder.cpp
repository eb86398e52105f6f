#include "filelist/BrowseForFolder.h"

#include "platform/FileSystem.h"
#include "runtime/Dialogs.h"

namespace papyrant {

std::string BrowseForFolder(FolderPicker& picker, const std::string& title, const std::string& startFolder)
{
    std::string folder = picker.browseForFolder(title, startFolder);
    if (isRootFolder(folder))
        return folder;
    while (!folder.empty() && folder.back() == kNativeSeparator)
        folder.pop_back();
    return folder;
}

} // namespace papyrant
