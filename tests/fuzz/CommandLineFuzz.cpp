// The Windows command-line rules: any line splits without harm, and quoting a list of arguments and splitting
// the result gives back the exact bytes.
#include "tests/fuzz/FuzzCheck.h"
#include "text/CommandLine.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using papyrant::fuzz::require;

std::string joinQuoted(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += papyrant::QuoteArgument(argument);
    }
    return line;
}

// The program name is split by simpler rules (no escapes), so only a name a program file can have survives
// quoting: no double quote, and no trailing backslash.
bool isProgramName(const std::string& name)
{
    return name.find('"') == std::string::npos && (name.empty() || name.back() != '\\');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);

    // Whatever a line holds, what it splits into can be quoted and split again unchanged.
    const auto parsed = papyrant::ParseCommandLine(raw);
    require(!parsed.empty() || raw.find_first_not_of(" \t") == std::string::npos, "a line with text has a program");
    if (!parsed.empty() && isProgramName(parsed.front()))
        require(papyrant::ParseCommandLine(joinQuoted(parsed)) == parsed, "split, quote and split again");

    // A list built from the input: a program name, then arguments of any bytes.
    FuzzedDataProvider provider(data, size);
    std::vector<std::string> arguments { provider.ConsumeRandomLengthString(64) };
    if (!isProgramName(arguments.front()))
        arguments.front() = "program";
    while (provider.remaining_bytes() > 0)
        arguments.push_back(provider.ConsumeRandomLengthString(64));
    require(papyrant::ParseCommandLine(joinQuoted(arguments)) == arguments, "quote then split gives the arguments");
    return 0;
}
