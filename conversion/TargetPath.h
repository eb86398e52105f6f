#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace papyrant {

// The PDF of a source file inside a folder: the folder, a separator, the source's name without its last
// extension, ".pdf", with doubled separators collapsed. Option1 passes the Text1 folder, Option2 the source's
// own folder.
std::string pdfTargetPath(std::string_view folder, std::string_view source, char separator = kNativeSeparator);

// The targets that one conversion run has already printed to, so that two different sources never write the
// same PDF: a later one gets " (2)", " (3)", ... before ".pdf". The same source asking again keeps its target.
class RunTargets
{
public:
    // The target to use for the source: the wanted path itself unless a different source of this run took it.
    std::string choose(const std::string& source, const std::string& wanted) const;
    void record(const std::string& source, const std::string& target);

private:
    struct Claim
    {
        std::string source;
        std::string target;
    };
    // Who printed to the path in this run, or nullptr.
    const Claim* claimOf(const std::string& target) const;

    std::vector<Claim> m_claims;
    // The claims by their target's pathHash, so that a run of many files does not compare every pair.
    std::unordered_multimap<std::size_t, std::size_t> m_byTarget;
};

} // namespace papyrant
