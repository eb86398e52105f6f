// The XML view on any text: colour changes no byte of the printed lines, pretty-printing changes only white
// space, folding base64 never breaks the others, and none of them depends on where the text's pieces split.
// The first byte chooses the piece size; the rest is the file, decoded as for a print-out.
#include "print/ByteSource.h"
#include "print/PrintStyle.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"
#include "print/XmlTextView.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

using papyrant::fuzz::require;

std::string printed(std::string_view text, const papyrant::PrintStyle& style, std::size_t step)
{
    std::string out;
    papyrant::PrintableLines lines([&out](const papyrant::PrintLine& line) {
        require(line.text.size() <= 4 * papyrant::PrintableLines::kMaxLineChars, "a printed line stays bounded");
        std::uint32_t end = 0;
        for (const papyrant::StyleSpan& span : line.spans) {
            require(span.begin >= end && span.begin < span.end && span.end <= line.text.size(),
                "spans are in order, not empty and inside the line");
            end = span.end;
        }
        out.append(line.text);
        out.push_back('\n');
    });
    if (papyrant::XmlTextView::wanted(style)) {
        papyrant::XmlTextView view(style, lines);
        for (std::size_t i = 0; i < text.size(); i += step)
            view.add(text.substr(i, step));
        view.finish();
    } else {
        for (std::size_t i = 0; i < text.size(); i += step)
            lines.add(text.substr(i, step));
    }
    lines.finish();
    return out;
}

std::string withoutSpace(std::string text)
{
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 256 * 1024)
        return 0;
    const std::size_t step = 1 + data[0] % 64;
    papyrant::MemoryByteSource source(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    papyrant::TextDecoder decoder(source);
    std::string text;
    while (decoder.next(text)) { }
    papyrant::PrintStyle colour;
    colour.xmlColour = true;
    papyrant::PrintStyle pretty;
    pretty.xmlPretty = true;
    papyrant::PrintStyle all = pretty;
    all.xmlColour = true;
    all.foldBase64 = papyrant::PrintStyle::kMinFoldBase64;

    const std::string plain = printed(text, {}, text.size() + 1);
    require(printed(text, colour, step) == plain, "colour changes no byte");
    const std::string whole = printed(text, pretty, text.size() + 1);
    require(withoutSpace(whole) == withoutSpace(plain), "pretty-printing changes only white space");
    require(printed(text, pretty, step) == whole, "pretty-printing does not depend on the pieces");
    require(printed(text, all, step) == printed(text, all, text.size() + 1), "folding does not depend on the pieces");
    return 0;
}
