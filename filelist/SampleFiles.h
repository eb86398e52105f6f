#pragma once

#include <string>

namespace papyrant {

class FileList;
class MessageBoxes;
class ShellOpener;

inline constexpr const char* kOpenSamplesQuestion
    = "Would you like this software to open the folder where these sample files are stored (so that you can view "
      "them before working with them)?";

// Adds the files of the Samples folder beside the program that are not in the list yet (exact text), then asks
// whether to open that folder, and opens it in the desktop's file manager on Yes. Failures throw RuntimeError to
// the caller's guard.
void AddSampleFiles(FileList& list, const std::string& programFolder, MessageBoxes& messages, ShellOpener& opener);

} // namespace papyrant
