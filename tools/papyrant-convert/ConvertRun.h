#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace papyrant {

class StopSignals;

inline constexpr int kConvertAllDone = 0;
inline constexpr int kConvertSomeFailed = 1;
inline constexpr int kConvertUsage = 2;
// The program could not set itself up (no descriptors left for its signal pipe); no file was touched.
inline constexpr int kConvertCannotStart = kConvertSomeFailed;

struct ConvertServices
{
    std::ostream& errors; // messages, and the progress line when it is a terminal
    std::ostream& output; // --json -, --help, and the PDF of standard input
    bool errorsAreTerminal;
    bool outputIsTerminal;
    StopSignals& signals;
};

// papyrant-convert with its arguments (without the program's name); returns the exit code: 0 all done, 1 some
// failed, 2 bad usage, 128 + the signal's number after SIGINT or SIGTERM.
int runConvert(const std::vector<std::string>& arguments, ConvertServices services);

} // namespace papyrant
