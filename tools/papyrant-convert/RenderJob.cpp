#include "tools/papyrant-convert/RenderJob.h"

#include "conversion/PathHelpers.h"
#include "print/AtomicFile.h"
#include "print/FileByteSource.h"
#include "print/FontFallback.h"
#include "print/PaperSize.h"
#include "print/ReadError.h"
#include "print/TextPrinter.h"

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
    const AtomicFile::Step step = file.failedStep();
    if (step == AtomicFile::Step::Create) {
        if (error == ENOENT || error == ENOTDIR)
            return "the output folder does not exist";
        return std::string("cannot write in the output folder: ") + std::strerror(error);
    }
    if (error == ENOSPC || error == EDQUOT)
        return "the disk is full";
    return std::string(step == AtomicFile::Step::Write ? "cannot write the PDF: " : "cannot save the PDF: ")
        + std::strerror(error);
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
    const Expected<int> fd = FileByteSource::openRegularFile(source);
    if (!fd)
        return failed(fd.reason());
    StoppableSource input(*fd, stop);

    AtomicFile file(target);
    if (!file.open())
        return failed(writeFailure(file));
    RenderOutcome outcome;
    try {
        // The title is the source's file name; the writer shows bytes that are not UTF-8 as U+FFFD there, while
        // the PDF's own file name keeps them.
        const PrintOutcome printed = printText(
            input, file, PrintJob { paperForEnvironment(), ExtractFileName(source), textLocaleFromEnvironment() });
        if (!printed.problem.empty())
            return failed(file.error() != 0 ? writeFailure(file) : printed.problem);
        outcome.pages = printed.pages;
    } catch (const Stopped&) {
        outcome.status = RenderOutcome::Status::Stopped;
        return outcome;
    } catch (const ReadError& error) {
        return failed(std::string("cannot read the file: ") + error.what());
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
