#include "print/PdfSyntax.h"

#include "text/Utf8.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace papyrant::pdf {

void appendNumber(std::string& out, double value, int decimals)
{
    static constexpr double kScales[] = { 1, 10, 100, 1000, 10000 };
    const double scale = kScales[decimals < 0 ? 0 : decimals > 4 ? 4 : decimals];
    auto scaled = static_cast<std::int64_t>(std::llround(value * scale));
    if (scaled < 0) {
        out.push_back('-');
        scaled = -scaled;
    }
    const auto whole = static_cast<std::int64_t>(scaled / static_cast<std::int64_t>(scale));
    std::int64_t fraction = scaled - whole * static_cast<std::int64_t>(scale);
    // Spelled out in place: pages call this a few times a row, and a string of its own would cost more than
    // the digits.
    char digits[32];
    char* end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
    if (fraction != 0) {
        *end++ = '.';
        for (auto unit = static_cast<std::int64_t>(scale) / 10; unit > 0 && fraction > 0; unit /= 10) {
            *end++ = static_cast<char>('0' + fraction / unit);
            fraction %= unit;
        }
    }
    out.append(digits, end);
}

void appendHex(std::string& out, unsigned value, int digitCount)
{
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digitCount - 1); shift >= 0; shift -= 4)
        out.push_back(digits[(value >> shift) & 0xF]);
}

void appendHex16(std::string& out, unsigned value)
{
    appendHex(out, value, 4);
}

void appendUtf16Hex(std::string& out, std::string_view utf8Text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8Text.data());
    for (std::size_t i = 0; i < utf8Text.size();) {
        const int length = utf8::sequenceLength(p + i, utf8Text.size() - i);
        if (length <= 0) {
            appendHex16(out, 0xFFFD);
            ++i;
            continue;
        }
        const char32_t cp = utf8::decode(p + i, length);
        i += static_cast<std::size_t>(length);
        if (cp >= 0x10000) {
            appendHex16(out, 0xD800 + ((cp - 0x10000) >> 10));
            appendHex16(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            appendHex16(out, cp);
        }
    }
}

void appendLiteralBytes(std::string& out, const char* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        appendLiteralByte(out, bytes[i]);
}

std::string reference(int object)
{
    return std::to_string(object) + " 0 R";
}

std::string textString(std::string_view utf8Text)
{
    std::string out = "<FEFF";
    appendUtf16Hex(out, utf8Text);
    out.push_back('>');
    return out;
}

} // namespace papyrant::pdf
