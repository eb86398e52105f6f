#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace papyrant {

// What a stretch of a printed line is, so a print-out can colour it. Text is everything outside markup.
enum class TextStyle : std::uint8_t
{
    Text,
    Markup, // "<", "</", ">", "/>", "=" and the names of elements
    AttributeName,
    AttributeValue, // with its quotes
    Comment,
    CData, // "<![CDATA[" ... "]]>"
    ProcessingInstruction, // "<?" ... "?>", the XML declaration included
    Declaration, // "<!DOCTYPE" ... ">" and the other "<!" declarations
    EntityReference, // "&amp;", "&#x41;"
    Folded, // a note that stands for text left out, such as a long base64 run
};

// A stretch of a line in one style: bytes [begin, end) of the line's text.
struct StyleSpan
{
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    TextStyle style = TextStyle::Text;
};

// One line as the page shows it: valid UTF-8 with no line breaks or control characters.
struct PrintLine
{
    std::string_view text;
    // In order and not overlapping; bytes outside every span are Text. Empty for a line of plain text.
    std::span<const StyleSpan> spans;
    // The line of the source where this line begins, counted from 1; 0 when it goes on from the line before
    // (a line cut for length), so that it shows no number.
    std::uint64_t sourceLine = 0;
};

} // namespace papyrant
