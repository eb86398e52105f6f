// The whole renderer on any file: decoding, printable lines, font choice, shaping, bidi, line breaking and the
// PDF writer. Whatever the bytes, the print-out is written whole, as a PDF, with at least one page. The seeds
// are the shipped samples and lines that once aborted or took minutes (regional indicators, noncharacters,
// long runs of joiners and selectors, bidi controls, code points of every plane in UTF-32); the dictionary
// holds the characters the mutations should splice in.
#include "print/ByteSink.h"
#include "print/ByteSource.h"
#include "print/TextPrinter.h"
#include "tests/fuzz/FuzzCheck.h"

#include <string>
#include <string_view>

namespace {

using papyrant::fuzz::require;

class MemorySink : public papyrant::ByteSink
{
public:
    bool write(const void* data, std::size_t size) override
    {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    std::string bytes;
};

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A print-out of more than a few pages tells nothing new and slows the search down.
    if (size > 256 * 1024)
        return 0;
    papyrant::MemoryByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
    MemorySink sink;
    const papyrant::PrintOutcome outcome
        = papyrant::printText(source, sink, papyrant::PrintJob { papyrant::kPaperA4, "fuzz", "th_TH.UTF-8" });
    require(outcome.problem.empty(), "the print-out is written");
    require(outcome.pages >= 1, "the print-out has a page");
    require(sink.bytes.rfind("%PDF-", 0) == 0, "the print-out starts as a PDF");
    require(endsWith(sink.bytes, "%%EOF\n"), "the print-out ends as a PDF");
    return 0;
}
