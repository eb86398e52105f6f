#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

class Yielder;

// Splits a command line by the Windows rules: white space separates arguments, double quotes group, and
// backslashes escape only before a double quote.
std::vector<std::string> ParseCommandLine(const std::string& commandLine);

// Quotes one argument so that ParseCommandLine gives it back exactly. For every path that Windows allows this
// is the path in plain double quotes.
std::string QuoteArgument(const std::string& argument);

// Starts a command line as a new process (never through a shell) and waits until it has ended, polling every
// 100 ms and handling window events meanwhile. Returns the exit code, or the runtime error number of a failed
// start plus -2147221504. A stop request ends the wait early and ends the child.
std::int32_t ShellAndWait(const std::string& commandLine, std::optional<int> windowStyle, Yielder& yielder);

// The window style as the start facility takes it: 0 to 6 pass, anything else (or none) becomes 6.
int normaliseWindowStyle(std::optional<int> windowStyle);

} // namespace papyrant
