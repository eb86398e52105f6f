#pragma once

#include <string>

namespace papyrant {

class FolderPicker;

// Shows the folder picker with the title, the start folder selected when it exists. The chosen folder without a
// closing separator (a root stays the root), or the empty text when the user cancels.
std::string BrowseForFolder(FolderPicker& picker, const std::string& title, const std::string& startFolder);

} // namespace papyrant
