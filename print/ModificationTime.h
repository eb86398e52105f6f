#pragma once

#include <ctime>
#include <string>

namespace papyrant {

// A file's modification time as a print-out's header shows it: "YYYY-MM-DD HH:MM" in the local time zone
// (TZ when set); empty when the time cannot be shown.
std::string localMinuteStamp(std::time_t time);

struct PrintJob;

// Fills in what a print-out's header and line numbers tell of the source open as `descriptor`: its modification
// time and its size. Leaves them empty when the descriptor is not a regular file.
void takeSourceFacts(PrintJob& job, int descriptor);

} // namespace papyrant
