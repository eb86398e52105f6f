#pragma once

#include <ctime>
#include <string>

namespace papyrant {

// A file's modification time as a print-out's header shows it: "YYYY-MM-DD HH:MM" in the local time zone
// (TZ when set); empty when the time cannot be shown.
std::string localMinuteStamp(std::time_t time);

} // namespace papyrant
