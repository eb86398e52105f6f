#pragma once

#include "print/EncodingChoice.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace papyrant {

class ByteDecoder;
class ByteSource;

// Turns the bytes of a text file into UTF-8, piece by piece, as browsers read them. The encoding is taken from
// the byte-order mark; else UTF-16 when its NULs show it; else from the XML declaration's encoding, read through
// the browsers' label table (a declaration that cannot be right for how the declaration itself reads is
// ignored); else UTF-8 when the whole file is valid UTF-8; else the legacy encoding uchardet recognises;
// else Windows-1252. The text handed out is always valid UTF-8; the byte-order mark is not part of it.
class TextDecoder
{
public:
    // Chooses the encoding. Without a mark or a usable declaration this reads the whole source once to check
    // it for UTF-8 and starts again. Throws ReadError when the source cannot be read.
    explicit TextDecoder(ByteSource& source);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // The encoding chosen and what chose it.
    const EncodingChoice& encoding() const
    {
        return m_choice;
    }

    // Appends the next piece of decoded text to `out`; false when everything has been handed out.
    bool next(std::string& out);

private:
    void choose();
    bool chooseFromHead();
    bool isUtf8Throughout();
    void restart();
    bool fill();

    ByteSource& m_source;
    EncodingChoice m_choice;
    std::unique_ptr<ByteDecoder> m_decoder;
    std::size_t m_skip = 0; // length of the byte-order mark
    std::vector<char> m_buffer;
    std::size_t m_begin = 0; // undecoded bytes are m_buffer[m_begin, m_end)
    std::size_t m_end = 0;
    bool m_sourceDone = false;
    bool m_done = false;
};

} // namespace papyrant
