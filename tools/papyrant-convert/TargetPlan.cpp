#include "tools/papyrant-convert/TargetPlan.h"

#include "conversion/PathHelpers.h"
#include "conversion/TargetPath.h"

#include <set>

namespace papyrant {

void assignTargets(std::vector<ConvertJob>& jobs, const std::optional<std::string>& outputFolder)
{
    std::set<FileIdentity> sources;
    for (const ConvertJob& job : jobs) {
        if (job.identity)
            sources.insert(*job.identity);
    }
    RunTargets targets;
    for (ConvertJob& job : jobs) {
        if (!job.problem.empty())
            continue;
        std::string folder = outputFolder ? *outputFolder : ExtractFolder(job.source);
        if (folder.empty())
            folder = "."; // a bare name: its PDF goes in the current folder, not the root
        job.target = targets.choose(job.source, pdfTargetPath(folder, job.source));
        const std::optional<FileIdentity> existing = identityOf(job.target);
        if (existing && sources.contains(*existing)) {
            job.problem = "its PDF would write over a listed source";
            continue;
        }
        targets.record(job.source, job.target);
    }
}

} // namespace papyrant
