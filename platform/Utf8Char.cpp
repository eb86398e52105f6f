#include "platform/Utf8Char.h"

namespace papyrant {

Utf8Char utf8CharAt(std::string_view text, std::size_t position)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[position + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return { lead, 1, true };

    std::size_t length = 0;
    unsigned char low = 0x80; // bounds of the second byte, which rule out overlong forms and surrogates
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return { lead, 1, false };
    }
    if (position + length > text.size())
        return { lead, 1, false };
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return { lead, 1, false };
        value = (value << 6) | (next & 0x3F);
    }
    return { value, length, true };
}

} // namespace papyrant
