#pragma once

#include <string>
#include <vector>

namespace papyrant {

// Splits a command line by the Windows rules: white space separates arguments, double quotes group, and
// backslashes escape only before a double quote.
std::vector<std::string> ParseCommandLine(const std::string& commandLine);

// Quotes one argument so that ParseCommandLine gives it back exactly. For every path that Windows allows this
// is the path in plain double quotes.
std::string QuoteArgument(const std::string& argument);

} // namespace papyrant
