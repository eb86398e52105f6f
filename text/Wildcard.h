#pragma once

#include <string_view>

namespace papyrant {

// The home platform's wildcard match of a file name: "*" any run of characters, "?" exactly one character,
// letters without regard to case. A pattern that ends in ".*" also matches the names that the pattern without it
// matches, so "*.*" matches every name, with a dot or without.
bool matchesWildcard(std::string_view name, std::string_view pattern);

} // namespace papyrant
