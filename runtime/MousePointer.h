#pragma once

namespace papyrant {

// The window's mouse-pointer values. The hourglass marks a running command and always wins.
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kArrow = 1;
inline constexpr int kHourglass = 11;
inline constexpr int kCustom = 99;
} // namespace pointer

} // namespace papyrant
