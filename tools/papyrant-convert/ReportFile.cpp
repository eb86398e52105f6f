#include "tools/papyrant-convert/ReportFile.h"

#include "text/Wildcard.h"
#include "tools/papyrant-convert/DeepPath.h"
#include "tools/papyrant-convert/DisplayName.h"
#include "tools/papyrant-convert/StopSignals.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace papyrant {

namespace {

constexpr int kReaderWaitMs = 100;

} // namespace

std::string reportConflict(const std::string& path, const JobTable& jobs, const IdentitySet& sources,
    const std::optional<std::string>& mergedPdf)
{
    const std::string kMerged = "the merged PDF goes there";
    const std::optional<FileIdentity> existing = identityOf(path);
    if (existing) {
        if (sources.contains(*existing))
            return "it is one of the files to convert";
        if (matchesWildcard(namePartOf(path), "*.xml"))
            return "it is an XML file";
        if (mergedPdf && identityOf(*mergedPdf) == existing)
            return kMerged;
        // Only a name ending in ".pdf" (in any case, for a folder that ignores case) can be a PDF of the batch.
        if (!matchesWildcard(namePartOf(path), "*.pdf"))
            return {};
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (jobs.hasTarget(i) && identityOf(jobs.target(i)) == existing)
                return "the PDF of " + displayName(jobs.source(i)) + " goes there";
        }
        return {};
    }
    const std::string name = namePartOf(path);
    const std::optional<FileIdentity> folder = identityOf(folderPartOf(path));
    if (!folder)
        return {}; // the open says why
    if (mergedPdf && namePartOf(*mergedPdf) == name && identityOf(folderPartOf(*mergedPdf)) == folder)
        return kMerged;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (!jobs.hasTarget(i))
            continue;
        const std::string target = jobs.target(i);
        if (namePartOf(target) == name && identityOf(folderPartOf(target)) == folder)
            return "the PDF of " + displayName(jobs.source(i)) + " goes there";
    }
    return {};
}

OpenedReport openReport(const std::string& path, StopSignals& signals)
{
    OpenedReport report;
    struct stat info = {};
    if (::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
        // A FIFO without a reader refuses a non-blocking open; a blocking one would not end on Ctrl-C.
        for (;;) {
            report.fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (report.fd >= 0)
                break;
            if (errno != ENXIO) {
                report.failure = std::strerror(errno);
                return report;
            }
            if (signals.wait(kReaderWaitMs)) {
                report.stopped = true;
                return report;
            }
        }
        const int flags = ::fcntl(report.fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(report.fd, F_SETFL, flags & ~O_NONBLOCK);
        return report;
    }
    report.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    if (report.fd < 0)
        report.failure = std::strerror(errno);
    return report;
}

} // namespace papyrant
