#include "conversion/PathHelpers.h"

#include "runtime/RuntimeError.h"
#include "text/PathRules.h"

namespace papyrant {

namespace {

// The original searched with a 16-bit position: a match past 32767 overflows.
constexpr std::size_t kLargestPosition = 32767;

void checkPosition(std::string_view text, char wanted)
{
    if (positionAfterLast(text, wanted) > kLargestPosition)
        throw RuntimeError(err::kOverflow);
}

} // namespace

std::string ExtractFileName(std::string_view path, char separator)
{
    return fileNamePart(path, separator);
}

std::string ExtractFolder(std::string_view path, char separator)
{
    checkPosition(path, separator);
    return folderPart(path, separator);
}

std::string StripExtension(std::string_view fileName)
{
    checkPosition(fileName, '.');
    return withoutExtension(fileName);
}

std::string CollapseBackslashes(std::string_view path, char separator)
{
    return collapseSeparators(path, separator);
}

} // namespace papyrant
