#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace papyrant {

// The program's texts are UTF-8; the system's single-byte entry points take the ANSI code page. A text with a
// character that the code page cannot hold has no ANSI form: nothing is returned rather than a look-alike
// ("Āpple" is not "Apple") or "?", so that no call ever acts on another name than the one it was given.
std::optional<std::string> toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

// The same texts for the system's wide entry points (UTF-16), and back.
std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view wide);

} // namespace papyrant
