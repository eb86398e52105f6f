#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace papyrant {

// The PDF of a source file inside a folder: the folder, a separator, the source's name without its last
// extension, ".pdf", with doubled separators collapsed. Option1 passes the Text1 folder, Option2 the source's
// own folder.
std::string pdfTargetPath(std::string_view folder, std::string_view source, char separator = kNativeSeparator);

// The target numbered n: " (n)" before ".pdf", or at the end of a name without it; below 2, the target itself.
std::string numberedTarget(std::string_view target, int number);

// What numbering never changes in a target: its pathKey without its trailing ".pdf" and " (n)" parts. Two targets
// of different families can never compete for a name, so a batch needs to ask RunTargets only about the targets
// whose family another target of the batch shares.
std::string targetFamily(std::string_view target);

// The targets that one conversion run has already printed to, so that two different sources never write the
// same PDF: a later one gets " (2)", " (3)", ... before ".pdf". The same source asking again keeps its target.
// Each question costs a few look-ups, however many targets the run has printed to.
class RunTargets
{
public:
    // The target to use for the source: the wanted path itself unless a different source of this run took it.
    std::string choose(const std::string& source, const std::string& wanted);
    // The same choice as its number: 0 for the wanted path itself, else n for numberedTarget(wanted, n).
    int chooseNumber(const std::string& source, const std::string& wanted);
    void record(const std::string& source, const std::string& target);

private:
    // Who printed to each target (both by pathKey).
    std::unordered_map<std::string, std::string> m_sourceOf;
    // The targets each source printed to, by pathKey of the source.
    std::unordered_map<std::string, std::vector<std::string>> m_targetsOf;
    // For each wanted path (by pathKey), the number below which every numbered name was found taken by others.
    std::unordered_map<std::string, int> m_firstFree;
};

} // namespace papyrant
