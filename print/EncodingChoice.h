#pragma once

#include <string>

namespace papyrant {

// The encoding a text file was read in, and what chose it, so that a person can see why a file reads as it does.
struct EncodingChoice
{
    enum class Source
    {
        Mark, // a byte-order mark
        Declaration, // the XML declaration's encoding
        Detection, // the bytes themselves: valid UTF-8, UTF-16's NULs, or what uchardet recognised
        Fallback, // nothing else held: Windows-1252
    };
    std::string name; // the browsers' name where they have one: "UTF-8", "windows-1252", "Shift_JIS", ...
    Source source = Source::Fallback;
};

// "mark", "declaration", "detection" or "fallback".
const char* sourceName(EncodingChoice::Source source);

} // namespace papyrant
