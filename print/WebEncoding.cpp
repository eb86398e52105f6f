#include "print/WebEncoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>
#include <string>

namespace papyrant {

namespace {

// The converter for each encoding is the one of glibc whose mapping is closest to the browsers' index table:
// CP932 is Windows' Shift_JIS with the NEC and IBM extensions and ASCII at 0x5C and 0x7E, CP949 is the Windows
// superset of EUC-KR, GB18030 covers GBK, CP874 is the Windows superset of TIS-620, and so on. Where a byte
// still decodes otherwise, EncodingDifferences says how browsers read it.
constexpr std::array kEncodings {
    WebEncoding { "UTF-8", "", DecodeMethod::Utf8 },
    WebEncoding { "IBM866", "IBM866", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-2", "ISO-8859-2", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-3", "ISO-8859-3", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-4", "ISO-8859-4", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-5", "ISO-8859-5", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-6", "ISO-8859-6", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-7", "ISO-8859-7", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-8", "ISO-8859-8", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-8-I", "ISO-8859-8", DecodeMethod::SingleByte }, // the same bytes, in logical order
    WebEncoding { "ISO-8859-10", "ISO-8859-10", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-13", "ISO-8859-13", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-14", "ISO-8859-14", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-15", "ISO-8859-15", DecodeMethod::SingleByte },
    WebEncoding { "ISO-8859-16", "ISO-8859-16", DecodeMethod::SingleByte },
    WebEncoding { "KOI8-R", "KOI8-R", DecodeMethod::SingleByte },
    WebEncoding { "KOI8-U", "KOI8-U", DecodeMethod::SingleByte },
    WebEncoding { "macintosh", "MACINTOSH", DecodeMethod::SingleByte },
    WebEncoding { "windows-874", "CP874", DecodeMethod::SingleByte },
    WebEncoding { "windows-1250", "CP1250", DecodeMethod::SingleByte },
    WebEncoding { "windows-1251", "CP1251", DecodeMethod::SingleByte },
    WebEncoding { "windows-1252", "CP1252", DecodeMethod::SingleByte },
    WebEncoding { "windows-1253", "CP1253", DecodeMethod::SingleByte },
    WebEncoding { "windows-1254", "CP1254", DecodeMethod::SingleByte },
    WebEncoding { "windows-1255", "CP1255", DecodeMethod::SingleByte },
    WebEncoding { "windows-1256", "CP1256", DecodeMethod::SingleByte },
    WebEncoding { "windows-1257", "CP1257", DecodeMethod::SingleByte },
    WebEncoding { "windows-1258", "CP1258", DecodeMethod::SingleByte },
    WebEncoding { "x-mac-cyrillic", "MAC-CYRILLIC", DecodeMethod::SingleByte },
    WebEncoding { "GBK", "GB18030", DecodeMethod::MultiByte }, // browsers read GBK with the GB18030 decoder
    WebEncoding { "gb18030", "GB18030", DecodeMethod::MultiByte },
    WebEncoding { "Big5", "BIG5-HKSCS", DecodeMethod::MultiByte },
    WebEncoding { "EUC-JP", "EUC-JP", DecodeMethod::MultiByte },
    WebEncoding { "ISO-2022-JP", "ISO-2022-JP", DecodeMethod::Stream },
    WebEncoding { "Shift_JIS", "CP932", DecodeMethod::MultiByte },
    WebEncoding { "EUC-KR", "CP949", DecodeMethod::MultiByte },
    WebEncoding { "UTF-16BE", "UTF-16BE", DecodeMethod::Utf16BE },
    WebEncoding { "UTF-16LE", "UTF-16LE", DecodeMethod::Utf16LE },
    WebEncoding { "x-user-defined", "", DecodeMethod::UserDefined },
};

struct Label
{
    std::string_view label;
    std::string_view encoding;
};

constexpr Label kLabels[] = {
#include "print/WebEncodingLabels.inc"
};

bool isLabelSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

} // namespace

const WebEncoding& webEncoding(std::string_view name)
{
    const auto found
        = std::find_if(kEncodings.begin(), kEncodings.end(), [name](const WebEncoding& e) { return e.name == name; });
    if (found == kEncodings.end())
        throw std::logic_error("no web encoding named " + std::string(name));
    return *found;
}

const WebEncoding* webEncodingForLabel(std::string_view label)
{
    while (!label.empty() && isLabelSpace(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && isLabelSpace(label.back()))
        label.remove_suffix(1);
    std::string lower(label);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = std::lower_bound(std::begin(kLabels), std::end(kLabels), lower,
        [](const Label& entry, const std::string& key) { return entry.label < key; });
    if (found == std::end(kLabels) || found->label != lower)
        return nullptr;
    if (found->encoding == "replacement")
        return nullptr;
    return &webEncoding(found->encoding);
}

} // namespace papyrant
