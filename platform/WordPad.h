#pragma once

#include <string>

namespace papyrant {

class Registry;

inline constexpr const char* kWordPadServerKey = "Wordpad.Document.1\\Protocol\\StdFileEditing\\Server";

// The word pad's command as the registry holds it, unchanged (quotes and %-variables stay); the empty text
// when it is not registered.
std::string GetWordPadPath(Registry& registry);

} // namespace papyrant
