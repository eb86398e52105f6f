#include "conversion/TargetPath.h"

#include "conversion/PathHelpers.h"

#include <algorithm>
#include <optional>

namespace papyrant {

namespace {

constexpr std::string_view kPdfExtension = ".pdf";

// The number n when the target is the wanted path numbered n (n >= 2), as numberedTarget() writes it.
std::optional<int> numberOf(const std::string& target, const std::string& wanted)
{
    const bool pdf = wanted.ends_with(kPdfExtension);
    const std::string_view stem = std::string_view(wanted).substr(0, wanted.size() - (pdf ? kPdfExtension.size() : 0));
    const std::string_view tail = pdf ? kPdfExtension : std::string_view();
    const std::string_view text(target);
    if (text.size() < stem.size() + tail.size() + 4 || !pathsEqual(text.substr(0, stem.size()), stem)
        || !pathsEqual(text.substr(text.size() - tail.size()), tail))
        return std::nullopt;
    const std::string_view middle = text.substr(stem.size(), text.size() - stem.size() - tail.size());
    if (!middle.starts_with(" (") || !middle.ends_with(")") || middle.size() > 12)
        return std::nullopt;
    const std::string_view digits = middle.substr(2, middle.size() - 3);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos || digits[0] == '0')
        return std::nullopt;
    const int number = std::stoi(std::string(digits));
    return number >= 2 ? std::optional<int>(number) : std::nullopt;
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

std::string numberedTarget(std::string_view target, int number)
{
    if (number < 2)
        return std::string(target);
    const std::string suffix = " (" + std::to_string(number) + ")";
    if (!target.ends_with(kPdfExtension))
        return std::string(target) + suffix;
    std::string out(target.substr(0, target.size() - kPdfExtension.size()));
    return out + suffix + std::string(kPdfExtension);
}

std::string targetFamily(std::string_view target)
{
    // The parts are taken off the text itself and the key made last: on Windows the key is no longer text.
    // Stripping too much only joins families, which is safe; every part that numbering adds must go.
    std::string_view text = target;
    for (;;) {
        if (text.size() >= kPdfExtension.size()
            && pathsEqual(text.substr(text.size() - kPdfExtension.size()), kPdfExtension)) {
            text.remove_suffix(kPdfExtension.size());
            continue;
        }
        const std::size_t open = text.rfind(" (");
        if (open != std::string_view::npos && text.ends_with(')') && text.size() > open + 3
            && text.find_first_not_of("0123456789", open + 2) == text.size() - 1) {
            text = text.substr(0, open);
            continue;
        }
        return pathKey(text);
    }
}

std::string RunTargets::choose(const std::string& source, const std::string& wanted)
{
    return numberedTarget(wanted, chooseNumber(source, wanted));
}

int RunTargets::chooseNumber(const std::string& source, const std::string& wanted)
{
    const std::string sourceKey = pathKey(source);
    auto takenByOther = [&](const std::string& candidate) {
        const auto claim = m_sourceOf.find(pathKey(candidate));
        return claim != m_sourceOf.end() && claim->second != sourceKey;
    };
    if (!takenByOther(wanted))
        return 0;

    // The lowest numbered name that this source printed to already, or that nobody took. Names below the first
    // free one of an earlier question were all taken by others then, and claims are never given up.
    int& firstFree = m_firstFree[pathKey(wanted)];
    int number = std::max(firstFree, 2);
    if (const auto own = m_targetsOf.find(sourceKey); own != m_targetsOf.end()) {
        std::optional<int> lowest;
        for (const std::string& target : own->second) {
            const std::optional<int> mine = numberOf(target, wanted);
            if (mine && *mine < number && (!lowest || *mine < *lowest))
                lowest = mine;
        }
        if (lowest)
            return *lowest;
    }
    while (takenByOther(numberedTarget(wanted, number)))
        ++number;
    firstFree = number;
    return number;
}

void RunTargets::record(const std::string& source, const std::string& target)
{
    const auto [claim, added] = m_sourceOf.emplace(pathKey(target), pathKey(source));
    if (added)
        m_targetsOf[claim->second].push_back(target);
}

} // namespace papyrant
