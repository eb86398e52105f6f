#include "tools/papyrant-convert/StandardStreams.h"

#include "print/AtomicFile.h"
#include "print/FileRender.h"
#include "tools/papyrant-convert/ConvertOptions.h"
#include "tools/papyrant-convert/ConvertRun.h"
#include "tools/papyrant-convert/StopSignals.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace papyrant {

namespace {

constexpr std::size_t kChunk = 256 * 1024;
const std::string kProgram = "papyrant-convert: ";

std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

int failed(ConvertServices& services, const std::string& message)
{
    services.errors << kProgram << "cannot convert standard input: " << message << "\n";
    return kConvertSomeFailed;
}

// Standard input as a file that can be read twice: itself when it is one, else a copy in an unnamed temporary
// file. -1 with `why` set on failure; -2 when a stop came first.
int rereadableInput(StopSignals& signals, std::string& why)
{
    struct stat info = {};
    if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
        const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
        if (fd < 0)
            why = std::strerror(errno);
        return fd;
    }
    const int copy = ::open(temporaryFolder().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (copy < 0) {
        why = std::string("no temporary file: ") + std::strerror(errno);
        return -1;
    }
    std::vector<char> buffer(kChunk);
    for (;;) {
        // A read that waits for a writer must still end on Ctrl-C.
        if (signals.waitFor(STDIN_FILENO)) {
            ::close(copy);
            return -2;
        }
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            why = std::strerror(errno);
            ::close(copy);
            return -1;
        }
        for (ssize_t done = 0; done < count;) {
            const ssize_t written = ::write(copy, buffer.data() + done, static_cast<std::size_t>(count - done));
            if (written <= 0) {
                why = errno == ENOSPC ? "the disk is full" : std::strerror(errno);
                ::close(copy);
                return -1;
            }
            done += written;
        }
    }
    return copy;
}

} // namespace

std::string standardInputMisuse(const ConvertOptions& options, const ConvertServices& services)
{
    if (options.paths.size() != 1)
        return "\"-\" (standard input) cannot be given with other paths";
    if (options.jsonFile || options.outputFolder || options.noClobber || options.mergeFile)
        return "\"-\" (standard input) takes no --json, -o, --no-clobber or --merge: the PDF goes to standard output";
    if (services.outputIsTerminal)
        return "standard output is a terminal; send the PDF to a file or a pipe";
    return {};
}

int convertStandardInput(ConvertServices& services, const PrintStyle& style)
{
    StopSignals& signals = services.signals;
    std::string why;
    const int input = rereadableInput(signals, why);
    if (input == -2)
        return 128 + signals.signalNumber();
    if (input < 0)
        return failed(services, why);

    std::string written;
    RenderRequest request;
    request.sourceDescriptor = input;
    request.target = temporaryFolder() + "/stdin.pdf"; // never named: the commit step below reads it back instead
    request.title = "stdin";
    request.creator = "papyrant-convert";
    request.style = style;
    request.stop = &signals.stop();
    request.commit = [&](AtomicFile& file) -> std::string {
        std::vector<char> buffer(kChunk);
        for (off_t offset = 0;;) {
            const ssize_t count = ::pread(file.descriptor(), buffer.data(), buffer.size(), offset);
            if (count < 0)
                return std::string("cannot read the PDF back: ") + std::strerror(errno);
            if (count == 0)
                break;
            if (!services.output.write(buffer.data(), count))
                return "cannot write to standard output";
            offset += count;
        }
        if (!services.output.flush())
            return "cannot write to standard output";
        return {};
    };
    const RenderOutcome outcome = renderFile(request);
    switch (outcome.status) {
    case RenderOutcome::Status::Written:
        return kConvertAllDone;
    case RenderOutcome::Status::Stopped:
        return 128 + signals.signalNumber();
    case RenderOutcome::Status::Failed:
        break;
    }
    return failed(services, outcome.reason);
}

} // namespace papyrant
