#include "conversion/TargetPath.h"

#include "conversion/PathHelpers.h"

namespace papyrant {

namespace {

constexpr std::string_view kPdfExtension = ".pdf";

std::string numbered(const std::string& target, int number)
{
    const std::string suffix = " (" + std::to_string(number) + ")";
    if (!target.ends_with(kPdfExtension))
        return target + suffix;
    return target.substr(0, target.size() - kPdfExtension.size()) + suffix + std::string(kPdfExtension);
}

} // namespace

std::string pdfTargetPath(std::string_view folder, std::string_view source, char separator)
{
    std::string target(folder);
    target += separator;
    target += StripExtension(ExtractFileName(source, separator));
    target += kPdfExtension;
    return CollapseBackslashes(target, separator);
}

std::string RunTargets::choose(const std::string& source, const std::string& wanted) const
{
    std::string candidate = wanted;
    for (int number = 2;; ++number) {
        const Claim* claim = claimOf(candidate);
        if (!claim || pathsEqual(claim->source, source))
            return candidate;
        candidate = numbered(wanted, number);
    }
}

void RunTargets::record(const std::string& source, const std::string& target)
{
    if (claimOf(target))
        return;
    m_byTarget.emplace(pathHash(target), m_claims.size());
    m_claims.push_back({ source, target });
}

const RunTargets::Claim* RunTargets::claimOf(const std::string& target) const
{
    const auto [first, last] = m_byTarget.equal_range(pathHash(target));
    for (auto it = first; it != last; ++it) {
        const Claim& claim = m_claims[it->second];
        if (pathsEqual(claim.target, target))
            return &claim;
    }
    return nullptr;
}

} // namespace papyrant
