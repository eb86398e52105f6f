#pragma once

#include <string>

namespace papyrant {

inline constexpr const char* kProductName = "Papyrant Software";

// The product name shortened at its last space until it is at most 40 characters, at least once.
std::string applicationTitleFor(const std::string& productName);

} // namespace papyrant
