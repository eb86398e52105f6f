#include "print/StylePalette.h"

namespace papyrant {

Colour colourOf(TextStyle style)
{
    // Hues far apart, so that neighbouring tokens tell apart on screen; lumas between 0.25 and 0.45.
    switch (style) {
    case TextStyle::Text:
        return kBlack;
    case TextStyle::Markup:
        return { 0x1A, 0x4F, 0x9C }; // blue
    case TextStyle::AttributeName:
        return { 0x7A, 0x3E, 0x00 }; // brown
    case TextStyle::AttributeValue:
        return { 0xB2, 0x22, 0x22 }; // red
    case TextStyle::Comment:
        return { 0x2E, 0x7D, 0x32 }; // green
    case TextStyle::CData:
        return { 0x00, 0x80, 0x80 }; // teal
    case TextStyle::ProcessingInstruction:
        return { 0x7B, 0x1F, 0xA2 }; // purple
    case TextStyle::Declaration:
        return { 0xAD, 0x14, 0x57 }; // magenta
    case TextStyle::EntityReference:
        return { 0xC0, 0x58, 0x00 }; // orange
    case TextStyle::Folded:
        return { 0x61, 0x61, 0x61 }; // grey
    }
    return kBlack;
}

} // namespace papyrant
