#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace papyrant {

// Path rules as pure text functions over one separator: "\" on Windows, "/" on Linux. Searches are exact and
// run from the end; positions beyond 32767 overflow (error 6), as the original 16-bit position did.

// Everything after the last separator.
std::string ExtractFileName(std::string_view path, char separator = kNativeSeparator);

// Everything up to and including the last separator, or the empty text.
std::string ExtractFolder(std::string_view path, char separator = kNativeSeparator);

// The name without its last dot and what follows, unless that dot is the first character.
std::string StripExtension(std::string_view fileName);

// Doubled separators made single in one left-to-right pass. A path that starts with a separator keeps a
// leading double separator with "\" (network paths); with "/" its leading run becomes one "/".
std::string CollapseBackslashes(std::string_view path, char separator = kNativeSeparator);

} // namespace papyrant
