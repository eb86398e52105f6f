#pragma once

#include <string_view>

namespace papyrant {

// How the bytes of an encoding are turned into text.
enum class DecodeMethod
{
    Utf8,
    Utf16LE,
    Utf16BE,
    SingleByte, // one byte, one character: a table of 128 entries for the bytes past ASCII
    MultiByte, // ASCII stays ASCII; other characters are one to four bytes, read one character at a time
    Stream, // anything else the converter reads (escape sequences, EBCDIC, ...): it keeps its own state
    UserDefined, // bytes past ASCII become U+F780 to U+F7FF
};

// One of the encodings browsers read, with the name they give it and the glibc converter that reads it as they
// do (its differences from the browsers are listed in EncodingDifferences).
struct WebEncoding
{
    std::string_view name; // "windows-1252", "Shift_JIS", ...
    std::string_view converter; // the iconv name; empty for the methods that need none
    DecodeMethod method;
};

// The encoding that a label names in the browsers' label table (ASCII case and surrounding white space
// ignored), or nullptr. "iso-8859-1" and "us-ascii" name windows-1252, "tis-620" windows-874, "gb2312" GBK,
// "euc-kr" the Windows superset of EUC-KR, and so on. Browsers refuse to read the labels of a few escape-based
// encodings (ISO-2022-KR, ISO-2022-CN, HZ); those are not in the table here, so that the converter reads them.
const WebEncoding* webEncodingForLabel(std::string_view label);

// The encoding of that name, as webEncodingForLabel gives it (the same table; for the choices made in code).
const WebEncoding& webEncoding(std::string_view name);

} // namespace papyrant
