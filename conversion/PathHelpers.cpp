#include "conversion/PathHelpers.h"

#include "platform/RuntimeError.h"

namespace papyrant {

namespace {

constexpr std::size_t kLargestPosition = 32767;

// The 1-based position of the last occurrence, 0 when there is none; overflows past 32767.
std::size_t lastPosition(std::string_view text, char wanted)
{
    const auto index = text.rfind(wanted);
    if (index == std::string_view::npos)
        return 0;
    if (index + 1 > kLargestPosition)
        throw RuntimeError(err::kOverflow);
    return index + 1;
}

std::string collapsePairs(std::string_view text, char separator)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result.push_back(text[i]);
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator)
            ++i;
    }
    return result;
}

} // namespace

std::string ExtractFileName(std::string_view path, char separator)
{
    const auto index = path.rfind(separator);
    return std::string(index == std::string_view::npos ? path : path.substr(index + 1));
}

std::string ExtractFolder(std::string_view path, char separator)
{
    return std::string(path.substr(0, lastPosition(path, separator)));
}

std::string StripExtension(std::string_view fileName)
{
    if (fileName.empty())
        return {};
    const std::size_t position = lastPosition(fileName, '.');
    if (position >= 2)
        return std::string(fileName.substr(0, position - 1));
    return std::string(fileName);
}

std::string CollapseBackslashes(std::string_view path, char separator)
{
    if (path.empty() || path.front() != separator)
        return collapsePairs(path, separator);
    std::size_t k = 1;
    while (k < path.size() && path[k] == separator)
        ++k;
    const std::string lead = separator == '\\' ? std::string(2, separator) : std::string(1, separator);
    return lead + collapsePairs(path.substr(k), separator);
}

} // namespace papyrant
