#pragma once

#include "runtime/MessageBoxes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace papyrant {

class RuntimeError;

// The messages of the conversion run: OK only, no icon, the application title.
Message buildNoFilesMessage();
Message buildFolderMissingMessage();

// "Done." alone when every file became a PDF; otherwise also how many of the run's files failed and which
// (the first few by path, then how many more).
Message buildDoneMessage(const std::vector<std::string>& failed, std::size_t fileCount);

// The run could not make the PDF printer the default printer and converted nothing.
Message buildPdfPrinterNotSelectedMessage();

// The run could not put the user's default printer back: their next print would become a PDF.
Message buildPrinterNotRestoredMessage(const std::string& printerName);

// The default-printer reader's own report, shown by GetDefaultPrinter.
Message buildDefaultPrinterReport(const RuntimeError& error);

// How many failed paths the final message names before it only counts the rest.
inline constexpr std::size_t kFailedPathsShown = 20;

} // namespace papyrant
