#include "tools/papyrant-convert/ConvertOptions.h"

#include "conversion/PathHelpers.h"
#include "print/PaperSize.h"
#include "text/Wildcard.h"

#include <algorithm>
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
    LineNumbers,
    Header,
    Xml,
    FoldBase64,
    Merge,
    Paper,
    Landscape,
    FontSize,
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
    { 0, "line-numbers", Option::LineNumbers, false },
    { 0, "header", Option::Header, false },
    { 0, "xml", Option::Xml, true },
    { 0, "fold-base64", Option::FoldBase64, true },
    { 0, "merge", Option::Merge, true },
    { 0, "paper", Option::Paper, true },
    { 0, "landscape", Option::Landscape, false },
    { 0, "font-size", Option::FontSize, true },
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

// The value as a whole number, or nothing when it is not one (a sign, a fraction, too large).
template <typename Number> std::optional<Number> wholeNumber(const std::string& value)
{
    Number number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || value[0] == '-' || error != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return number;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// --xml: "pretty", "colour" or both, comma-separated in either order.
std::string applyXml(const std::string& value, PrintStyle& style)
{
    bool pretty = false;
    bool colour = false;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = value.find(',', begin);
        const std::string word = lowerCase(value.substr(begin, comma == std::string::npos ? comma : comma - begin));
        if (word == "pretty" && !pretty)
            pretty = true;
        else if (word == "colour" && !colour)
            colour = true;
        else
            return "the XML view (--xml) is pretty, colour or pretty,colour, not \"" + value + "\"";
        if (comma == std::string::npos)
            break;
        begin = comma + 1;
    }
    style.xmlPretty = pretty;
    style.xmlColour = colour;
    return {};
}

std::string applyFontSize(const std::string& value, PrintStyle& style)
{
    double size = 0;
    const auto [end, error]
        = std::from_chars(value.data(), value.data() + value.size(), size, std::chars_format::fixed);
    // Written so that a NaN fails too.
    if (value.empty() || error != std::errc() || end != value.data() + value.size()
        || !(size >= PrintStyle::kMinFontSize && size <= PrintStyle::kMaxFontSize))
        return "the font size (--font-size) must be a number of points from 6 to 24, not \"" + value + "\"";
    style.fontSize = size;
    return {};
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
        const std::optional<unsigned> jobs = wholeNumber<unsigned>(value);
        if (!jobs || *jobs < 1 || *jobs > kMaxJobs)
            return "the number of jobs (-j) must be a whole number from 1 to " + std::to_string(kMaxJobs) + ", not \""
                + value + "\"";
        options.jobs = *jobs;
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
    case Option::LineNumbers:
        options.style.lineNumbers = true;
        break;
    case Option::Header:
        options.style.header = true;
        break;
    case Option::Xml:
        return applyXml(value, options.style);
    case Option::FoldBase64: {
        // Shorter runs are common in ordinary text (hashes, identifiers): folding them would hide data.
        const std::optional<std::size_t> length = wholeNumber<std::size_t>(value);
        if (!length || *length < PrintStyle::kMinFoldBase64)
            return "the base64 fold (--fold-base64) must be a whole number of characters from "
                + std::to_string(PrintStyle::kMinFoldBase64) + " up, not \"" + value + "\"";
        options.style.foldBase64 = *length;
        break;
    }
    case Option::Merge:
        // Only a PDF's name: a slip such as "--merge *.xml" must not take a source for the merged PDF.
        if (!matchesWildcard(ExtractFileName(value), "?*.pdf"))
            return "the merged PDF (--merge) must be a file name ending in .pdf, not \"" + value + "\"";
        options.mergeFile = value;
        break;
    case Option::Paper: {
        const std::string paper = lowerCase(value);
        if (paper == "a4")
            options.style.paper = kPaperA4;
        else if (paper == "letter")
            options.style.paper = kPaperLetter;
        else if (paper == "legal")
            options.style.paper = kPaperLegal;
        else
            return "the paper (--paper) is a4, letter or legal, not \"" + value + "\"";
        break;
    }
    case Option::Landscape:
        options.style.landscape = true;
        break;
    case Option::FontSize:
        return applyFontSize(value, options.style);
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
    if (parsed.error.empty() && options.mergeFile && options.outputFolder)
        parsed.error = "--merge and -o cannot be given together: the merged PDF is the only PDF written";
    if (parsed.error.empty() && options.mergeFile && options.noClobber)
        parsed.error = "--merge takes no --no-clobber: the merged PDF is written whole or not at all";
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
           "      --merge=FILE.pdf put every file in one PDF, in the order of the report, with a bookmark and\n"
           "                       page numbers of its own for each file; a file that fails is left out; the files\n"
           "                       are printed one at a time (-j is ignored); not with -o, - or --no-clobber\n"
           "      --paper=PAPER    a4, letter or legal (default: the paper of the locale)\n"
           "      --landscape      print across the long side of the paper\n"
           "      --font-size=PT   the type size in points, 6 to 24 (default: 10)\n"
           "      --line-numbers   the source's line numbers in a margin\n"
           "      --header         the file's name, its modification time and \"Page N of M\" on every page\n"
           "      --xml=VIEW       pretty (indent elements that run together), colour (colour the syntax) or\n"
           "                       pretty,colour\n"
           "      --fold-base64=N  show a base64 run longer than N characters (256 or more) by its ends only\n"
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
           "Examples:\n"
           "  papyrant-convert -o pdf --json report.json exports/     # every PDF in pdf/, a JSON line a file\n"
           "  papyrant-convert --merge=all.pdf exports/              # one PDF with a bookmark a file\n"
           "  papyrant-convert --paper=legal contract.xml\n"
           "  papyrant-convert --landscape wide-table.xml\n"
           "  papyrant-convert --font-size=8 config.xml\n"
           "  papyrant-convert --line-numbers config.xml\n"
           "  papyrant-convert --header exports/\n"
           "  papyrant-convert --xml=pretty,colour soap-reply.xml\n"
           "  papyrant-convert --fold-base64=1024 e-invoice.xml      # attachments shown by their ends\n"
           "\n"
           "Exit status: 0 when every file was converted (or there was nothing to convert), 1 when some failed or\n"
           "a name was skipped for a fault (also when the program could not set itself up; then no file was\n"
           "touched), 2 for bad usage (nothing touched), 130 after Ctrl-C and 143 after SIGTERM (no partial PDF\n"
           "is left).\n";
}

} // namespace papyrant
