#include "print/FileRender.h"

#include "print/AtomicFile.h"
#include "print/FileByteSource.h"
#include "print/FontFallback.h"
#include "print/ModificationTime.h"
#include "print/PaperSize.h"
#include "print/ReadError.h"
#include "print/StoppableSource.h"
#include "print/TextPrinter.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

namespace {

RenderOutcome failed(std::string reason)
{
    RenderOutcome outcome;
    outcome.reason = std::move(reason);
    return outcome;
}

RenderOutcome stopped()
{
    RenderOutcome outcome;
    outcome.status = RenderOutcome::Status::Stopped;
    return outcome;
}

bool stopRaised(const RenderRequest& request)
{
    return request.stop && request.stop->load();
}

// Everything after the source is open; may throw anything, which renderFile turns into a reason.
RenderOutcome renderOpened(const RenderRequest& request, int sourceFd)
{
    StoppableSource input(sourceFd, request.stop);
    std::optional<AtomicFile> file;
    if (request.targetFolder >= 0)
        file.emplace(request.targetFolder, request.target);
    else
        file.emplace(request.target);
    if (!file->open())
        return failed(writeFailureReason(*file));
    RenderOutcome outcome;
    try {
        PrintJob job { paperForEnvironment(), request.title, textLocaleFromEnvironment() };
        job.creator = request.creator;
        job.style = request.style;
        takeSourceFacts(job, sourceFd);
        const PrintOutcome printed = printText(input, *file, job);
        if (!printed.problem.empty())
            return failed(file->error() != 0 ? writeFailureReason(*file) : printed.problem);
        outcome.pages = printed.pages;
        outcome.encoding = printed.encoding;
    } catch (const StopRaised&) {
        return stopped();
    } catch (const ReadError& error) {
        return failed(std::string("cannot read the file: ") + error.what());
    }
    if (stopRaised(request))
        return stopped();
    if (request.commit) {
        if (!file->sync())
            return failed(writeFailureReason(*file));
        const std::string refused = request.commit(*file);
        if (!refused.empty())
            return failed(refused);
    } else if (!file->commit()) {
        return failed(writeFailureReason(*file));
    }
    outcome.bytes = file->size();
    outcome.status = RenderOutcome::Status::Written;
    return outcome;
}

} // namespace

std::string writeFailureReason(const AtomicFile& file)
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

RenderOutcome renderFile(const RenderRequest& request)
{
    int sourceFd = request.sourceDescriptor;
    if (sourceFd < 0) {
        const Expected<int> opened = FileByteSource::openRegularFileAt(
            request.sourceFolder >= 0 ? request.sourceFolder : AT_FDCWD, request.sourcePath);
        if (!opened)
            return failed(opened.reason());
        sourceFd = *opened;
    }
    // From here the descriptor belongs to the source object made first thing in renderOpened.
    try {
        return renderOpened(request, sourceFd);
    } catch (const std::bad_alloc&) {
        return failed("not enough memory to print the file");
    } catch (const std::exception& error) {
        return failed(std::string("the PDF could not be made: ") + error.what());
    } catch (...) {
        return failed("the PDF could not be made");
    }
}

} // namespace papyrant
