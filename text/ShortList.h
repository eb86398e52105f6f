#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace papyrant {

// How many items a message names before it only counts the rest.
inline constexpr std::size_t kListedItemsShown = 20;

// The items for a message, one a line ("\r\n" before each): the first kListedItemsShown, then "and N more".
std::string shortList(const std::vector<std::string>& items);

} // namespace papyrant
