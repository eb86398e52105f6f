#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace papyrant {

class ByteSource;

// Turns the bytes of a text file into UTF-8, piece by piece. The encoding is taken from the byte-order mark,
// else from the XML declaration's encoding, else UTF-8 when the whole file is valid UTF-8, else Windows-1252.
// The text handed out is always valid UTF-8; the byte-order mark is not part of it.
class TextDecoder
{
public:
    // Chooses the encoding. Without a mark or a usable declaration this reads the whole source once to check
    // it for UTF-8 and starts again. Throws ReadError when the source cannot be read.
    explicit TextDecoder(ByteSource& source);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // The encoding chosen, as iconv names it ("UTF-8", "UTF-16LE", "WINDOWS-1252", "ISO-8859-15", ...).
    const std::string& encoding() const
    {
        return m_encoding;
    }

    // Appends the next piece of decoded text to `out`; false when everything has been handed out.
    bool next(std::string& out);

private:
    enum class Method
    {
        Utf8,
        Windows1252,
        Iconv,
    };

    void choose();
    bool fill();
    void decodeUtf8(std::string& out, bool atEnd);
    void decodeWindows1252(std::string& out);
    void decodeIconv(std::string& out, bool atEnd);

    ByteSource& m_source;
    Method m_method = Method::Utf8;
    std::string m_encoding;
    std::size_t m_skip = 0; // length of the byte-order mark
    int m_unitSize = 1; // bytes skipped past a sequence iconv refuses
    void* m_iconv = nullptr;
    std::vector<char> m_buffer;
    std::vector<char> m_output;
    std::size_t m_begin = 0; // undecoded bytes are m_buffer[m_begin, m_end)
    std::size_t m_end = 0;
    bool m_sourceDone = false;
    bool m_done = false;
};

} // namespace papyrant
