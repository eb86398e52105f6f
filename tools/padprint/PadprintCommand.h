#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace papyrant {

class PrinterSystem;
class Registry;
class SaveDialog;

struct PadprintServices
{
    Registry& registry;
    PrinterSystem& printers;
    SaveDialog& saveDialog;
    std::ostream& errors; // one line for each failure
};

inline constexpr int kPadprintFailed = 1;
inline constexpr int kPadprintUsage = 2;

// `padprint /p FILE`: prints the file's text to the default printer without a dialog. Returns the exit code:
// 0 when printed (or when the user cancelled the save dialog: nothing is written then, and a note says so),
// kPadprintFailed with one line on `errors` when it could not print, kPadprintUsage for other arguments.
int runPadprint(const std::vector<std::string>& arguments, PadprintServices services);

} // namespace papyrant
