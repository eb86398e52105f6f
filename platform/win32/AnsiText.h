#pragma once

#include <string>
#include <string_view>

namespace papyrant {

// The program's texts are UTF-8; the system's single-byte entry points take the ANSI code page. A character
// that the code page cannot represent becomes the system's default character ("?"), as the system's own
// conversion does.
std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

} // namespace papyrant
