#pragma once

#include <string>
#include <string_view>

namespace papyrant::pdf {

// A number with at most `decimals` places and no trailing zeros ("12.5", "90", "-0.25").
void appendNumber(std::string& out, double value, int decimals = 3);
// The last `digitCount` hexadecimal digits of `value`.
void appendHex(std::string& out, unsigned value, int digitCount);
// Four hexadecimal digits.
void appendHex16(std::string& out, unsigned value);
// UTF-8 text as UTF-16BE in hexadecimal digits (no brackets); bytes that are not UTF-8 become U+FFFD.
void appendUtf16Hex(std::string& out, std::string_view utf8Text);
// Whether a byte inside a literal string "( )" is written escaped: the brackets, the backslash and both line-end
// bytes. A bare line end is legal in a literal string, but a reader may fold two in a row into one (Ghostscript
// 10.0 does) and so lose a two-byte glyph code such as 0A0A and the alignment of the codes after it.
constexpr bool literalByteNeedsEscape(char c)
{
    return c == '(' || c == ')' || c == '\\' || c == '\r' || c == '\n';
}
// One byte inside a literal string, written at `out` (room for two bytes), escaped where it must be. Returns the
// end of what was written. Inline: it runs for every glyph of a page.
inline char* putLiteralByte(char* out, char c)
{
    if (literalByteNeedsEscape(c)) {
        *out++ = '\\';
        c = c == '\r' ? 'r' : c == '\n' ? 'n' : c;
    }
    *out++ = c;
    return out;
}
// The same, appended to `out`.
inline void appendLiteralByte(std::string& out, char c)
{
    char escaped[2];
    out.append(escaped, static_cast<std::size_t>(putLiteralByte(escaped, c) - escaped));
}
// Bytes inside a literal string, each as appendLiteralByte writes it.
void appendLiteralBytes(std::string& out, const char* bytes, std::size_t size);
// "N 0 R": a reference to object N.
std::string reference(int object);
// A text string for the document information: UTF-16BE with its byte-order mark, in hexadecimal.
std::string textString(std::string_view utf8Text);

} // namespace papyrant::pdf
