#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace papyrant {

inline constexpr char kNativeSeparator = '\\';
inline constexpr std::size_t kMaxPath = 260;

// Paths compare as the file system does: without regard to case, by the system's upper-case mapping.
bool pathsEqual(std::string_view a, std::string_view b);
// A text that is the same for two paths exactly when pathsEqual holds for them: a key for sets of paths.
std::string pathKey(std::string_view path);

// The length of a text as the system's single-byte interfaces take it: its length in the ANSI code page.
std::size_t systemTextLength(std::string_view text);

// True when the system's single-byte interfaces can take the text as it is: every character is in the ANSI code
// page. Any other name would reach the system as a look-alike or with "?" in it.
bool systemCanName(std::string_view text);

// A drive root ("C:\") or the root of a network share ("\\server\share\"), with or without the closing
// separator.
bool isRootFolder(std::string_view path);

} // namespace papyrant
