#include "tools/papyrant-convert/TargetPlan.h"

#include "conversion/TargetPath.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace papyrant {

namespace {

std::uint64_t familyHash(const JobTable& jobs, std::size_t index)
{
    return std::hash<std::string>()(targetFamily(jobs.wantedTarget(index)));
}

} // namespace

void assignTargets(JobTable& jobs, const IdentitySet& sources)
{
    // Only targets of one family can compete for a name (see targetFamily), and in a large batch most targets
    // have a family of their own: those keep their wanted name without being remembered, and only the others are
    // given to RunTargets, in the jobs' order. Equal hashes of different families only send a few more there.
    std::vector<std::uint64_t> hashes(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs.problem(i).empty())
            hashes[i] = familyHash(jobs, i);
    }
    std::vector<std::uint64_t> shared = hashes;
    std::sort(shared.begin(), shared.end());
    auto alone = [&shared](std::uint64_t hash) {
        const auto [first, last] = std::equal_range(shared.begin(), shared.end(), hash);
        return last - first == 1;
    };

    RunTargets targets;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (!jobs.problem(i).empty())
            continue;
        const bool competes = !alone(hashes[i]);
        const std::string source = jobs.source(i);
        const std::string wanted = jobs.wantedTarget(i);
        jobs.setTarget(i, competes ? targets.chooseNumber(source, wanted) : 0);
        const std::string target = jobs.target(i);
        const std::optional<FileIdentity> existing = identityOf(target);
        if (existing && sources.contains(*existing)) {
            jobs.setProblem(i, "its PDF would write over a listed source");
            continue;
        }
        if (competes)
            targets.record(source, target);
    }
}

} // namespace papyrant
