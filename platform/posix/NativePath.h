#pragma once

#include <climits>
#include <cstddef>
#include <string_view>

namespace papyrant {

inline constexpr char kNativeSeparator = '/';
inline constexpr std::size_t kMaxPath = PATH_MAX;

// Paths compare as the file system does: exactly, byte for byte.
inline bool pathsEqual(std::string_view a, std::string_view b)
{
    return a == b;
}

} // namespace papyrant
