#include "tools/papyrant-convert/RenderJob.h"

#include "conversion/PathHelpers.h"
#include "platform/RuntimeError.h"
#include "platform/Utf8Char.h"
#include "tools/padprint/AtomicFile.h"
#include "tools/padprint/FileByteSource.h"
#include "tools/padprint/PaperSize.h"
#include "tools/padprint/PdfDocument.h"
#include "tools/padprint/TextPrinter.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace papyrant {

namespace {

struct Stopped
{
};

// The source's bytes, until a stop is raised: then the next read ends the document.
class StoppableSource : public ByteSource
{
public:
    StoppableSource(int fd, const std::atomic<bool>& stop)
        : m_file(fd)
        , m_stop(stop)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        if (m_stop.load(std::memory_order_relaxed))
            throw Stopped();
        return m_file.read(buffer, size);
    }
    void rewind() override
    {
        m_file.rewind();
    }

private:
    FileByteSource m_file;
    const std::atomic<bool>& m_stop;
};

std::string writeFailure(const AtomicFile& file)
{
    const int error = file.error();
    const std::string step = file.failedStep();
    if (step == "create") {
        if (error == ENOENT || error == ENOTDIR)
            return "the output folder does not exist";
        return std::string("cannot write in the output folder: ") + std::strerror(error);
    }
    if (error == ENOSPC || error == EDQUOT)
        return "the disk is full";
    return std::string(step == "write" ? "cannot write the PDF: " : "cannot save the PDF: ") + std::strerror(error);
}

// The PDF's title: the source's file name, with each byte that is not UTF-8 shown as U+FFFD (Cairo refuses the
// whole document for a title that is not UTF-8; the PDF's own file name keeps the bytes).
std::string titleFor(const std::string& source)
{
    const std::string name = ExtractFileName(source);
    std::string title;
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Char ch = utf8CharAt(name, i);
        if (ch.valid)
            title.append(name, i, ch.length);
        else
            title += "\xEF\xBF\xBD";
        i += ch.length;
    }
    return title;
}

RenderOutcome failed(std::string reason)
{
    RenderOutcome outcome;
    outcome.reason = std::move(reason);
    return outcome;
}

} // namespace

RenderOutcome renderPdf(const std::string& source, const std::string& target, const std::atomic<bool>& stop)
{
    std::string problem;
    const int fd = FileByteSource::openRegularFile(source, problem);
    if (fd < 0)
        return failed(problem);
    StoppableSource input(fd, stop);

    AtomicFile file(target);
    if (!file.open())
        return failed(writeFailure(file));
    const PaperSize paper = paperForEnvironment();
    RenderOutcome outcome;
    {
        PdfDocument document(file, paper, titleFor(source));
        try {
            outcome.pages = printText(input, document, paper);
        } catch (const Stopped&) {
            outcome.status = RenderOutcome::Status::Stopped;
            return outcome;
        } catch (const RuntimeError& error) {
            return failed("cannot read the file: " + error.description());
        }
        if (!document.finish())
            return failed(file.error() != 0 ? writeFailure(file) : "the PDF could not be made");
    }
    if (stop.load())
        return { RenderOutcome::Status::Stopped, 0, 0, {} };
    if (!file.commit())
        return failed(writeFailure(file));
    struct stat info = {};
    if (::stat(target.c_str(), &info) == 0)
        outcome.bytes = static_cast<std::uint64_t>(info.st_size);
    outcome.status = RenderOutcome::Status::Written;
    return outcome;
}

} // namespace papyrant
