// Shows a file the way a print style sees it, for the tests and benchmarks that look at a whole process:
//   xml-view-dump [--xml=pretty|colour|pretty,colour] [--fold-base64=N] [--line-numbers] [--header] [--numbers]
//                 [--pdf=OUT] FILE
// Without --pdf, writes the printable lines to standard output, one a line (with --numbers, each after the
// source line it begins and a tab); with --pdf, prints the file as a PDF to OUT, as a conversion would, with
// the page's options too.
#include "print/ByteSink.h"
#include "print/FileByteSource.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"
#include "print/TextPrinter.h"
#include "print/XmlTextView.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace papyrant;

namespace {

class FileSink : public ByteSink
{
public:
    explicit FileSink(std::FILE* file)
        : m_file(file)
    {
    }
    bool write(const void* data, std::size_t size) override
    {
        return std::fwrite(data, 1, size, m_file) == size;
    }

private:
    std::FILE* m_file;
};

int usage()
{
    std::fprintf(stderr,
        "usage: xml-view-dump [--xml=pretty|colour|pretty,colour] [--fold-base64=N] [--line-numbers] [--header] "
        "[--numbers] [--pdf=OUT] FILE\n");
    return 2;
}

void dumpLines(ByteSource& source, const PrintStyle& style, bool numbers)
{
    PrintableLines lines([numbers](const PrintLine& line) {
        if (numbers)
            std::printf("%llu\t", static_cast<unsigned long long>(line.sourceLine));
        std::fwrite(line.text.data(), 1, line.text.size(), stdout);
        std::fputc('\n', stdout);
    });
    TextDecoder decoder(source);
    readStyledText(decoder, style, lines, [] { return true; });
}

} // namespace

int main(int argc, char** argv)
{
    PrintStyle style;
    bool numbers = false;
    std::string pdf;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--xml=")) {
            const std::string_view value = argument.substr(6);
            style.xmlPretty = value == "pretty" || value == "pretty,colour";
            style.xmlColour = value == "colour" || value == "pretty,colour";
            if (!style.xmlPretty && !style.xmlColour)
                return usage();
        } else if (argument.starts_with("--fold-base64=")) {
            style.foldBase64 = std::strtoull(argv[i] + 14, nullptr, 10);
        } else if (argument == "--line-numbers") {
            style.lineNumbers = true;
        } else if (argument == "--header") {
            style.header = true;
        } else if (argument == "--numbers") {
            numbers = true;
        } else if (argument.starts_with("--pdf=")) {
            pdf = argument.substr(6);
        } else if (path.empty() && !argument.starts_with("--")) {
            path = argument;
        } else {
            return usage();
        }
    }
    if (path.empty())
        return usage();
    const Expected<int> fd = FileByteSource::openRegularFile(path);
    if (!fd) {
        std::fprintf(stderr, "xml-view-dump: %s: %s\n", path.c_str(), fd.reason().c_str());
        return 1;
    }
    FileByteSource source(*fd);
    if (pdf.empty()) {
        dumpLines(source, style, numbers);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::FILE* out = std::fopen(pdf.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "xml-view-dump: cannot write %s\n", pdf.c_str());
        return 1;
    }
    FileSink sink(out);
    PrintJob job;
    job.title = path;
    job.locale = "en_US.UTF-8";
    job.style = style;
    const PrintOutcome outcome = printText(source, sink, job);
    const bool closed = std::fclose(out) == 0;
    if (!outcome.problem.empty() || !closed) {
        std::fprintf(stderr, "xml-view-dump: %s: %s\n", path.c_str(), outcome.problem.c_str());
        return 1;
    }
    return 0;
}
