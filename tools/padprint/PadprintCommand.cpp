#include "tools/padprint/PadprintCommand.h"

#include "print/FileByteSource.h"
#include "print/FileRender.h"
#include "text/PathRules.h"
#include "tools/padprint/PrintDestination.h"

#include <unistd.h>

namespace papyrant {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
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

    // The printer's settings are read when the job starts: the caller writes the next job's values as soon as
    // this process has ended.
    const PrintDestination destination
        = choosePrintDestination(services.registry, services.printers, services.saveDialog);
    if (destination.kind != PrintDestination::Kind::File)
        ::close(*fd); // only a print takes the source over

    if (destination.kind == PrintDestination::Kind::Failed) {
        services.errors << "padprint: cannot print " << quoted(sourcePath) << ": " << destination.text << "\n";
        return kPadprintFailed;
    }
    if (destination.kind == PrintDestination::Kind::Cancelled) {
        services.errors << "padprint: printing of " << quoted(sourcePath) << " cancelled; nothing written\n";
        return 0;
    }
    const std::string& target = destination.text;

    RenderRequest request;
    request.sourceDescriptor = *fd;
    request.target = target;
    request.title = fileNamePart(sourcePath, '/');
    request.creator = "padprint";
    const RenderOutcome outcome = renderFile(request);
    if (outcome.status != RenderOutcome::Status::Written) {
        services.errors << "padprint: cannot print " << quoted(sourcePath) << " to " << quoted(target) << ": "
                        << outcome.reason << "\n";
        return kPadprintFailed;
    }
    return 0;
}

} // namespace papyrant
