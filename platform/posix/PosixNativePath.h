#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

namespace papyrant {

inline constexpr char kNativeSeparator = '/';
inline constexpr std::size_t kMaxPath = PATH_MAX;

// Paths compare as the file system does: exactly, byte for byte.
inline bool pathsEqual(std::string_view a, std::string_view b)
{
    return a == b;
}

// A text that is the same for two paths exactly when pathsEqual holds for them: a key for sets of paths.
inline std::string pathKey(std::string_view path)
{
    return std::string(path);
}

// The length of a text as the system's single-byte interfaces take it: here its bytes.
inline std::size_t systemTextLength(std::string_view text)
{
    return text.size();
}

// True when the system's single-byte interfaces can take the text as it is: here names are bytes, always.
inline bool systemCanName(std::string_view)
{
    return true;
}

// The root folder: "/" (a run of separators names it too).
inline bool isRootFolder(std::string_view path)
{
    return !path.empty() && path.find_first_not_of(kNativeSeparator) == std::string_view::npos;
}

} // namespace papyrant
