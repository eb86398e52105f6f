#include "tools/papyrant-convert/DisplayName.h"

#include "text/Utf8.h"

#include <cstdio>

namespace papyrant {

std::string displayName(std::string_view path)
{
    std::string shown = "\"";
    for (std::size_t i = 0; i < path.size();) {
        const Utf8Char ch = utf8CharAt(path, i);
        const bool control
            = ch.codePoint < 0x20 || ch.codePoint == 0x7F || (ch.codePoint >= 0x80 && ch.codePoint <= 0x9F);
        if (ch.valid && ch.codePoint == '\n') {
            shown += "\\n";
        } else if (ch.valid && ch.codePoint == '\t') {
            shown += "\\t";
        } else if (ch.valid && (ch.codePoint == '"' || ch.codePoint == '\\')) {
            shown += '\\';
            shown += static_cast<char>(ch.codePoint);
        } else if (!ch.valid || control) {
            for (std::size_t b = 0; b < ch.length; ++b) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(path[i + b]));
                shown += hex;
            }
        } else {
            shown.append(path.substr(i, ch.length));
        }
        i += ch.length;
    }
    return shown + "\"";
}

} // namespace papyrant
