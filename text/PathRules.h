#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace papyrant {

// The path rules as pure text functions over one separator ("\" on Windows, "/" on Linux). Searches are exact
// and run from the end. The program's own procedures (conversion/PathHelpers.h) add the runtime's position
// limit on top of these.

// The position just past the last occurrence of `wanted`, 0 when there is none.
std::size_t positionAfterLast(std::string_view text, char wanted);

// Everything after the last separator.
std::string fileNamePart(std::string_view path, char separator);

// Everything up to and including the last separator, or the empty text.
std::string folderPart(std::string_view path, char separator);

// The folder of a path as a message names it: without its closing separator, the root as the root itself, and
// "." when the path names no folder.
std::string folderForMessage(std::string_view path, char separator);

// The name without its last dot and what follows, unless that dot is the first character.
std::string withoutExtension(std::string_view fileName);

// Doubled separators made single in one left-to-right pass. A path that starts with a separator keeps a
// leading double separator with "\" (network paths); with "/" its leading run becomes one "/".
std::string collapseSeparators(std::string_view path, char separator);

} // namespace papyrant
