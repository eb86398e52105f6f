#include "tools/padprint/PadprintCommand.h"

#include "print/AtomicFile.h"
#include "print/FileByteSource.h"
#include "print/FontFallback.h"
#include "print/PaperSize.h"
#include "print/ReadError.h"
#include "print/TextPrinter.h"
#include "text/PathRules.h"
#include "tools/padprint/PrintDestination.h"

#include <cerrno>
#include <cstring>

namespace papyrant {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Paths here are the command line's, in the system's own form.
std::string folderOf(const std::string& path)
{
    return folderForMessage(path, '/');
}

std::string writeFailure(const AtomicFile& file, const std::string& target)
{
    const int error = file.error();
    const AtomicFile::Step step = file.failedStep();
    if (step == AtomicFile::Step::Create) {
        if (error == ENOENT || error == ENOTDIR)
            return "the output folder " + quoted(folderOf(target)) + " does not exist";
        return "cannot write in the output folder " + quoted(folderOf(target)) + ": " + std::strerror(error);
    }
    if (step == AtomicFile::Step::Write) {
        if (error == ENOSPC || error == EDQUOT)
            return "cannot write " + quoted(target) + ": the disk is full";
        return "cannot write " + quoted(target) + ": " + std::strerror(error);
    }
    return "cannot save " + quoted(target) + ": " + std::strerror(error);
}

} // namespace

int runPadprint(const std::vector<std::string>& arguments, PadprintServices services)
{
    const bool printSwitch = arguments.size() == 2 && (arguments[0] == "/p" || arguments[0] == "/P");
    if (!printSwitch || arguments[1].empty()) {
        services.errors << "usage: padprint /p FILE   (prints the text of FILE to the default printer)\n";
        return kPadprintUsage;
    }
    const std::string& sourcePath = arguments[1];

    const Expected<int> fd = FileByteSource::openRegularFile(sourcePath);
    if (!fd) {
        services.errors << "padprint: cannot print " << quoted(sourcePath) << ": " << fd.reason() << "\n";
        return kPadprintFailed;
    }
    FileByteSource source(*fd);

    // The printer's settings are read when the job starts: the caller writes the next job's values as soon as
    // this process has ended.
    const PrintDestination destination
        = choosePrintDestination(services.registry, services.printers, services.saveDialog);

    if (destination.kind == PrintDestination::Kind::Failed) {
        services.errors << "padprint: cannot print " << quoted(sourcePath) << ": " << destination.text << "\n";
        return kPadprintFailed;
    }
    if (destination.kind == PrintDestination::Kind::Cancelled) {
        services.errors << "padprint: printing of " << quoted(sourcePath) << " cancelled; nothing written\n";
        return 0;
    }
    const std::string& target = destination.text;

    AtomicFile file(target);
    if (!file.open()) {
        services.errors << "padprint: cannot print " << quoted(sourcePath) << ": " << writeFailure(file, target)
                        << "\n";
        return kPadprintFailed;
    }
    const PrintJob job { paperForEnvironment(), fileNamePart(sourcePath, '/'), textLocaleFromEnvironment() };
    PrintOutcome outcome;
    try {
        outcome = printText(source, file, job);
    } catch (const ReadError& error) {
        services.errors << "padprint: cannot read " << quoted(sourcePath) << ": " << error.what() << "\n";
        return kPadprintFailed;
    }
    if (!outcome.problem.empty() || !file.commit()) {
        const std::string why = file.error() != 0 ? writeFailure(file, target)
            : outcome.problem.empty()             ? "the PDF could not be made"
                                                  : outcome.problem;
        services.errors << "padprint: cannot print " << quoted(sourcePath) << ": " << why << "\n";
        return kPadprintFailed;
    }
    return 0;
}

} // namespace papyrant
