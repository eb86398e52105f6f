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

// The run's closing message when no word pad is registered (WordPad is not part of every Windows): every file
// failed for that one reason, which is said once.
Message buildWordPadMissingMessage(std::size_t fileCount);

// Why a file failed, after its path ("PATH: REASON").
inline constexpr const char* kWordPadMissingReason = "WordPad was not found";
inline constexpr const char* kNameNotInCodePageReason
    = "the name has characters that the system's code page cannot hold";

// The run could not make the PDF printer the default printer and converted nothing.
Message buildPdfPrinterNotSelectedMessage();

// The run could not put the user's default printer back: their next print would become a PDF.
Message buildPrinterNotRestoredMessage(const std::string& printerName);

// The default-printer reader's own report, shown by GetDefaultPrinter.
Message buildDefaultPrinterReport(const RuntimeError& error);

} // namespace papyrant
