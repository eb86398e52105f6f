#include "print/EncodingSniffing.h"

#include "print/ByteDecoder.h"

#include <algorithm>
#include <memory>
#include <string>
#include <uchardet.h>

namespace papyrant {

namespace {

// A few words of Western text cannot be told from a few words in another single-byte encoding (uchardet calls
// "café" ISO-8859-2); a multi-byte encoding shows itself sooner, each character being a pair that must be valid.
constexpr std::size_t kSingleByteEvidence = 64;
constexpr std::size_t kMultiByteEvidence = 8;

// uchardet's names that are not labels of the browsers' table, for encodings that are in it.
const WebEncoding* encodingForDetectedName(std::string_view name)
{
    if (name == "UHC")
        return &webEncoding("EUC-KR"); // Windows' superset of EUC-KR, which browsers read for it
    if (name == "MAC-CYRILLIC")
        return &webEncoding("x-mac-cyrillic");
    return webEncodingForLabel(name);
}

struct UchardetDeleter
{
    void operator()(uchardet* detector) const
    {
        uchardet_delete(detector);
    }
};

} // namespace

const WebEncoding* utf16FromNuls(std::string_view head)
{
    const std::size_t units = head.size() / 2;
    std::size_t withNul = 0;
    std::size_t evenNuls = 0;
    std::size_t oddNuls = 0;
    for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
        const bool even = head[i] == '\0';
        const bool odd = head[i + 1] == '\0';
        withNul += even || odd;
        evenNuls += even;
        oddNuls += odd;
    }
    if (units == 0 || withNul * 4 < units)
        return nullptr;
    if (evenNuls == 0)
        return &webEncoding("UTF-16LE");
    if (oddNuls == 0)
        return &webEncoding("UTF-16BE");
    return nullptr;
}

const WebEncoding* detectLegacyEncoding(std::string_view sample, bool whole)
{
    const std::unique_ptr<uchardet, UchardetDeleter> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0)
        return nullptr;
    uchardet_data_end(detector.get());
    const WebEncoding* encoding = encodingForDetectedName(uchardet_get_charset(detector.get()));
    if (!encoding || (encoding->method != DecodeMethod::SingleByte && encoding->method != DecodeMethod::MultiByte))
        return nullptr;

    const auto beyondAscii = static_cast<std::size_t>(
        std::count_if(sample.begin(), sample.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    const std::size_t needed = encoding->method == DecodeMethod::MultiByte ? kMultiByteEvidence : kSingleByteEvidence;
    if (beyondAscii < needed)
        return nullptr;

    ByteDecoder trial(*encoding);
    std::string text;
    trial.decode(sample, whole, text);
    return trial.errors() == 0 ? encoding : nullptr;
}

} // namespace papyrant
