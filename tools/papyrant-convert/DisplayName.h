#pragma once

#include <string>
#include <string_view>

namespace papyrant {

// A path as a message shows it: in double quotes, on one line, every byte accounted for. Control characters,
// bytes that are not UTF-8, the quote and the backslash are written as C escapes (\n, \t, \", \\, \xHH), so
// that a name with a newline cannot forge a second message line.
std::string displayName(std::string_view path);

} // namespace papyrant
