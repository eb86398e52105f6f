#include "tools/papyrant-convert/TargetPlan.h"

#include "conversion/PathHelpers.h"
#include "conversion/TargetPath.h"

#include <algorithm>
#include <vector>

namespace papyrant {

void assignTargets(ConvertJobs& jobs, const std::optional<std::string>& outputFolder)
{
    std::vector<FileIdentity> sources;
    for (const ConvertJob& job : jobs) {
        if (job.identity)
            sources.push_back(*job.identity);
    }
    std::sort(sources.begin(), sources.end());
    RunTargets targets;
    for (ConvertJob& job : jobs) {
        if (!job.problem.empty())
            continue;
        std::string folder = outputFolder ? *outputFolder : ExtractFolder(job.source);
        if (folder.empty())
            folder.push_back('.'); // a bare name: its PDF goes in the current folder, not the root
        job.target = targets.choose(job.source, pdfTargetPath(folder, job.source));
        const std::optional<FileIdentity> existing = identityOf(job.target);
        if (existing && std::binary_search(sources.begin(), sources.end(), *existing)) {
            job.problem = "its PDF would write over a listed source";
            continue;
        }
        targets.record(job.source, job.target);
    }
}

} // namespace papyrant
