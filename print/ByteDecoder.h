#pragma once

#include "print/EncodingDifferences.h"
#include "print/WebEncoding.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// Turns bytes of one encoding into UTF-8, as browsers decode it, a piece at a time. A byte sequence the encoding
// does not allow becomes U+FFFD and is counted; the output is always valid UTF-8.
class ByteDecoder
{
public:
    explicit ByteDecoder(const WebEncoding& encoding);
    // An encoding outside the browsers' table that the converter knows (EBCDIC, KOI8-T, UTF-32, ...).
    explicit ByteDecoder(const std::string& converter);
    ~ByteDecoder();
    ByteDecoder(const ByteDecoder&) = delete;
    ByteDecoder& operator=(const ByteDecoder&) = delete;

    // False when the converter does not know the encoding.
    bool valid() const
    {
        return m_method != DecodeMethod::Stream || m_iconv != nullptr;
    }

    // Decodes the start of `bytes` and appends it to `out`; returns how many bytes were used. Unless `atEnd`, a
    // sequence cut off by the end of `bytes` is left for the next call, which must begin with it.
    std::size_t decode(std::string_view bytes, bool atEnd, std::string& out);

    // How many U+FFFD stand for bytes that were not text in this encoding.
    std::size_t errors() const
    {
        return m_errors;
    }

private:
    void open(const std::string& converter);
    void buildTable(std::string_view converter);
    std::size_t decodeMultiByte(std::string_view bytes, bool atEnd, std::string& out);
    std::size_t decodeStream(std::string_view bytes, bool atEnd, std::string& out);
    std::size_t decodeUtf8(std::string_view bytes, bool atEnd, std::string& out);

    DecodeMethod m_method;
    void* m_iconv = nullptr;
    int m_unitSize = 1; // bytes skipped past a sequence the converter refuses
    std::array<char32_t, 128> m_table {}; // SingleByte: the bytes 0x80 to 0xFF
    EncodingDifferences m_differences;
    std::vector<char> m_output;
    std::size_t m_errors = 0;
};

} // namespace papyrant
