// padprint's text decoder: any bytes decode to valid UTF-8 in a bounded number of pieces, and the text does
// not depend on how the bytes arrive.
#include "print/ByteSource.h"
#include "print/TextDecoder.h"
#include "tests/fuzz/FuzzCheck.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

using papyrant::fuzz::require;

// Hands out the bytes a few at a time, as a pipe or a slow disk might.
class TrickleByteSource : public papyrant::ByteSource
{
public:
    TrickleByteSource(std::string_view bytes, std::size_t piece)
        : m_bytes(bytes)
        , m_piece(piece)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        const std::size_t count = std::min({ size, m_piece, m_bytes.size() - m_offset });
        std::memcpy(buffer, m_bytes.data() + m_offset, count);
        m_offset += count;
        return count;
    }
    void rewind() override
    {
        m_offset = 0;
    }

private:
    std::string_view m_bytes;
    std::size_t m_piece;
    std::size_t m_offset = 0;
};

bool isValidUtf8(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const int length = papyrant::utf8::sequenceLength(bytes + i, text.size() - i);
        if (length <= 0)
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string decodeAll(papyrant::ByteSource& source, std::size_t size, std::string& encoding)
{
    papyrant::TextDecoder decoder(source);
    encoding = decoder.encoding().name;
    std::string text;
    // Every piece takes at least one new byte, so more pieces than bytes means the decoder goes round in circles.
    const std::size_t most = 2 * size + 16;
    std::size_t pieces = 0;
    while (decoder.next(text))
        require(++pieces <= most, "the decoder ends");
    require(!decoder.next(text), "the decoder stays ended");
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says how many bytes each read hands out; the rest is the file.
    const std::size_t piece = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string wholeEncoding;
    papyrant::MemoryByteSource whole(bytes);
    const std::string text = decodeAll(whole, bytes.size(), wholeEncoding);
    require(isValidUtf8(text), "the text is valid UTF-8");

    std::string trickledEncoding;
    TrickleByteSource trickled(bytes, piece);
    require(decodeAll(trickled, bytes.size(), trickledEncoding) == text, "small reads give the same text");
    require(trickledEncoding == wholeEncoding, "small reads choose the same encoding");
    return 0;
}
