#pragma once

#include "print/PrintStyle.h"

#include <optional>
#include <string>
#include <vector>

namespace papyrant {

enum class Verbosity
{
    Quiet,
    Normal,
    Verbose,
};

// What the command line of papyrant-convert asks for.
struct ConvertOptions
{
    std::vector<std::string> paths; // files and folders, in the order given, bytes as given
    std::optional<std::string> outputFolder; // -o DIR; without it each PDF goes beside its source
    std::optional<std::string> jsonFile; // --json FILE; "-" is standard output
    unsigned jobs = 0; // -j N; 0 until parsed: the number of cores
    bool allFiles = false;
    bool noClobber = false;
    Verbosity verbosity = Verbosity::Normal;
    PrintStyle style; // how each file is printed: --paper, --landscape, --font-size, --line-numbers, ...
    std::optional<std::string> mergeFile; // --merge FILE.pdf: every file into this one PDF
    bool help = false;
    bool version = false;
};

// The options, or a message for a person when the command line is not usable (exit code 2).
struct ParsedOptions
{
    ConvertOptions options;
    std::string error; // empty when the command line is usable
};

// GNU-style: long options with "=VALUE" or the next argument, short ones bundled or with their value attached
// ("-j4", "-qo out"), "--" ends the options. A lone "-" is a path.
ParsedOptions parseConvertOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string convertUsage();

} // namespace papyrant
