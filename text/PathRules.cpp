#include "text/PathRules.h"

namespace papyrant {

namespace {

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

std::size_t positionAfterLast(std::string_view text, char wanted)
{
    const auto index = text.rfind(wanted);
    return index == std::string_view::npos ? 0 : index + 1;
}

std::string fileNamePart(std::string_view path, char separator)
{
    return std::string(path.substr(positionAfterLast(path, separator)));
}

std::string folderPart(std::string_view path, char separator)
{
    return std::string(path.substr(0, positionAfterLast(path, separator)));
}

std::string folderForMessage(std::string_view path, char separator)
{
    const std::size_t end = positionAfterLast(path, separator);
    if (end == 0)
        return ".";
    return end == 1 ? std::string(1, separator) : std::string(path.substr(0, end - 1));
}

std::string withoutExtension(std::string_view fileName)
{
    const std::size_t position = positionAfterLast(fileName, '.');
    if (position >= 2)
        return std::string(fileName.substr(0, position - 1));
    return std::string(fileName);
}

std::string collapseSeparators(std::string_view path, char separator)
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
