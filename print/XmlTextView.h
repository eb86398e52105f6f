#pragma once

#include "print/XmlPiece.h"

#include <functional>
#include <memory>
#include <string_view>

namespace papyrant {

class PrintableLines;
class TextDecoder;
struct PrintStyle;

// The text of an XML file as the print style asks to see it: coloured by its syntax, indented, with long base64
// runs folded, or any of these together. Streams: text goes in piece by piece and comes out as printable lines,
// with memory bounded whatever the input, and malformed input never stops it.
class XmlTextView
{
public:
    XmlTextView(const PrintStyle& style, PrintableLines& lines);
    ~XmlTextView();
    XmlTextView(const XmlTextView&) = delete;
    XmlTextView& operator=(const XmlTextView&) = delete;

    // Takes the next piece of decoded text.
    void add(std::string_view text);
    // Hands out what is held back; the caller then finishes the lines.
    void finish();

    // Whether the style asks for the view at all; without it the text prints as it stands.
    static bool wanted(const PrintStyle& style);

private:
    class Output;
    class Stages;
    std::unique_ptr<Stages> m_stages;
};

// Reads the decoder's text to its end into `lines`, through an XmlTextView when the style wants one, and
// finishes the lines; `keepGoing`, asked after each piece, can end the reading early.
void readStyledText(
    TextDecoder& decoder, const PrintStyle& style, PrintableLines& lines, const std::function<bool()>& keepGoing);

} // namespace papyrant
