#include "tools/papyrant-convert/ConvertOptions.h"

#include <charconv>
#include <string_view>

namespace papyrant {

namespace {

// More workers than this only cost memory: each one holds its own renderer and fonts.
constexpr unsigned kMaxJobs = 256;

enum class Option
{
    Output,
    Jobs,
    Json,
    AllFiles,
    NoClobber,
    Quiet,
    Verbose,
    Help,
    Version,
};

struct OptionName
{
    char shortName; // 0 when there is none
    std::string_view longName;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    { 'o', "output", Option::Output, true },
    { 'j', "jobs", Option::Jobs, true },
    { 0, "json", Option::Json, true },
    { 'a', "all-files", Option::AllFiles, false },
    { 'n', "no-clobber", Option::NoClobber, false },
    { 'q', "quiet", Option::Quiet, false },
    { 'v', "verbose", Option::Verbose, false },
    { 'h', "help", Option::Help, false },
    { 'V', "version", Option::Version, false },
};

const OptionName* findLong(std::string_view name)
{
    for (const OptionName& option : kOptions) {
        if (option.longName == name)
            return &option;
    }
    return nullptr;
}

const OptionName* findShort(char name)
{
    for (const OptionName& option : kOptions) {
        if (option.shortName != 0 && option.shortName == name)
            return &option;
    }
    return nullptr;
}

// Applies one option; a message when its value is not usable.
std::string apply(const OptionName& name, const std::string& value, ConvertOptions& options)
{
    switch (name.option) {
    case Option::Output:
        if (value.empty())
            return "the output folder (-o) must not be empty";
        options.outputFolder = value;
        break;
    case Option::Jobs: {
        unsigned jobs = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), jobs);
        if (error != std::errc() || end != value.data() + value.size() || jobs < 1 || jobs > kMaxJobs)
            return "the number of jobs (-j) must be a whole number from 1 to " + std::to_string(kMaxJobs) + ", not \""
                + value + "\"";
        options.jobs = jobs;
        break;
    }
    case Option::Json:
        if (value.empty())
            return "the JSON report (--json) needs a file name, or - for standard output";
        options.jsonFile = value;
        break;
    case Option::AllFiles:
        options.allFiles = true;
        break;
    case Option::NoClobber:
        options.noClobber = true;
        break;
    case Option::Quiet:
        options.verbosity = Verbosity::Quiet;
        break;
    case Option::Verbose:
        options.verbosity = Verbosity::Verbose;
        break;
    case Option::Help:
        options.help = true;
        break;
    case Option::Version:
        options.version = true;
        break;
    }
    return {};
}

} // namespace

ParsedOptions parseConvertOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    ConvertOptions& options = parsed.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument[1] == '-') {
            const std::size_t equals = argument.find('=');
            const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionName* option = findLong(name);
            if (!option) {
                parsed.error = "unknown option --" + name;
            } else if (!option->takesValue && equals != std::string::npos) {
                parsed.error = "option --" + name + " takes no value";
            } else if (option->takesValue && equals == std::string::npos && i + 1 == arguments.size()) {
                parsed.error = "option --" + name + " needs a value";
            } else {
                const std::string value = !option->takesValue ? std::string()
                    : equals != std::string::npos             ? argument.substr(equals + 1)
                                                              : arguments[++i];
                parsed.error = apply(*option, value, options);
            }
            continue;
        }
        // A bundle of short options; one that takes a value takes the rest of the bundle or the next argument.
        for (std::size_t c = 1; c < argument.size() && parsed.error.empty(); ++c) {
            const OptionName* option = findShort(argument[c]);
            if (!option) {
                parsed.error = std::string("unknown option -") + argument[c];
                break;
            }
            if (!option->takesValue) {
                parsed.error = apply(*option, {}, options);
                continue;
            }
            if (c + 1 < argument.size()) {
                parsed.error = apply(*option, argument.substr(c + 1), options);
            } else if (i + 1 < arguments.size()) {
                parsed.error = apply(*option, arguments[++i], options);
            } else {
                parsed.error = std::string("option -") + argument[c] + " needs a value";
            }
            break;
        }
    }
    if (parsed.error.empty() && options.paths.empty() && !options.help && !options.version)
        parsed.error = "no file or folder to convert";
    return parsed;
}

std::string convertUsage()
{
    return "Usage: papyrant-convert [OPTION]... PATH...\n"
           "  or:  papyrant-convert - < FILE > PDF\n"
           "Convert text and XML files to PDF files, several at once, without the window.\n"
           "A folder is searched with all its subfolders for *.xml files, as \"Add All XML File(s) In Folder\"\n"
           "does; each PDF goes beside its source unless -o is given. A lone - converts standard input to\n"
           "standard output (not a terminal), as a filter does.\n"
           "\n"
           "  -o, --output=DIR     put every PDF in DIR (created when missing)\n"
           "  -j, --jobs=N         convert N files at once (default: the number of cores)\n"
           "  -a, --all-files      take every file of a folder, not only *.xml\n"
           "  -n, --no-clobber     keep PDFs that existed before the run (counted as done)\n"
           "      --json=FILE      write one JSON record a line for each file, and for each name left out, to\n"
           "                       FILE (- for standard output); FILE may not be a source, an XML file or a PDF\n"
           "                       of the run\n"
           "  -q, --quiet          print nothing but failures and the names skipped for a fault\n"
           "  -v, --verbose        also name every file as it is converted, and each file met twice\n"
           "  -h, --help           show this help and exit\n"
           "  -V, --version        show the version and exit\n"
           "\n"
           "The same base name twice gets \" (2)\", \" (3)\" in the order the files were found; a listed source is\n"
           "never written over; an existing PDF is replaced whole; two sources whose PDFs are one file (through\n"
           "a link, or a folder that ignores case) never both convert. Every name the search leaves out is named:\n"
           "an unreadable folder, a link that leads nowhere, a loop of links or a vanished file is a fault; hidden\n"
           "files, \"~\" names, PDFs in the output folder, FIFOs, sockets and devices are skipped by rule.\n"
           "\n"
           "Exit status: 0 when every file was converted (or there was nothing to convert), 1 when some failed or\n"
           "a name was skipped for a fault (also when the program could not set itself up; then no file was\n"
           "touched), 2 for bad usage (nothing touched), 130 after Ctrl-C and 143 after SIGTERM (no partial PDF\n"
           "is left).\n";
}

} // namespace papyrant
