#include "tools/papyrant-convert/TargetPlan.h"

#include "conversion/TargetPath.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace papyrant {

namespace {

// Gives the job its PDF as numbered, unless that PDF is one of the sources; then the job fails.
bool giveTarget(JobTable& jobs, const IdentitySet& sources, std::size_t index, int number)
{
    jobs.setTarget(index, number);
    const std::optional<FileIdentity> existing = identityOf(jobs.target(index));
    if (existing && sources.contains(*existing)) {
        jobs.setProblem(index, "its PDF would write over a listed source");
        return false;
    }
    return true;
}

} // namespace

void assignTargets(JobTable& jobs, const IdentitySet& sources)
{
    // Only targets of one family can compete for a name (see targetFamily), and families never meet: each is
    // named on its own, in the jobs' order. Most targets of a large batch have a family of their own and keep their
    // wanted name without being remembered; a family of several goes through RunTargets, which remembers only that
    // family. Equal hashes of different families only put them in one RunTargets, which tells them apart.
    std::vector<std::pair<std::uint64_t, std::size_t>> families;
    families.reserve(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs.problem(i).empty())
            families.emplace_back(std::hash<std::string>()(targetFamily(jobs.wantedTarget(i))), i);
    }
    std::sort(families.begin(), families.end());
    for (auto first = families.begin(); first != families.end();) {
        const auto last
            = std::find_if(first, families.end(), [&](const auto& family) { return family.first != first->first; });
        if (last - first == 1) {
            giveTarget(jobs, sources, first->second, 0);
        } else {
            RunTargets targets;
            for (auto job = first; job != last; ++job) {
                const std::string source = jobs.source(job->second);
                if (giveTarget(
                        jobs, sources, job->second, targets.chooseNumber(source, jobs.wantedTarget(job->second))))
                    targets.record(source, jobs.target(job->second));
            }
        }
        first = last;
    }
}

} // namespace papyrant
