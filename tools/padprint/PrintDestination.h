#pragma once

#include <string>

namespace papyrant {

class PrinterSystem;
class Registry;
class SaveDialog;

struct PrintDestination
{
    enum class Kind
    {
        File,
        Cancelled,
        Failed,
    };
    Kind kind;
    std::string text; // File: the PDF's path; Failed: what went wrong
};

// Where a print job goes, decided when the job starts: the default printer must be the virtual PDF printer
// (there is no other driver); its key gives "OutputFile" and, unless "BypassSaveAs" is "1", the user is asked
// with "OutputFile" proposed. Never throws.
PrintDestination choosePrintDestination(Registry& registry, PrinterSystem& printers, SaveDialog& dialog);

} // namespace papyrant
