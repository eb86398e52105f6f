#include "print/ByteDecoder.h"

#include "print/Windows1252.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace papyrant {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

iconv_t asIconv(void* handle)
{
    return static_cast<iconv_t>(handle);
}

char32_t fromUtf32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<char32_t>(b[0]) | static_cast<char32_t>(b[1]) << 8 | static_cast<char32_t>(b[2]) << 16
        | static_cast<char32_t>(b[3]) << 24;
}

bool wellFormed(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// iconv passes some ill-formed code points on (surrogates, values past U+10FFFF from UCS-4); they are marked,
// never handed on.
void appendWellFormed(std::string& out, const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size;) {
        const int length = utf8::sequenceLength(bytes + i, size - i);
        if (length > 0) {
            out.append(data + i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
        } else {
            utf8::append(out, kReplacement);
            ++i;
        }
    }
}

} // namespace

ByteDecoder::ByteDecoder(const WebEncoding& encoding)
    : m_method(encoding.method)
    , m_differences(encoding.converter)
{
    switch (m_method) {
    case DecodeMethod::Utf8:
        break;
    case DecodeMethod::SingleByte:
        buildTable(encoding.converter);
        break;
    case DecodeMethod::UserDefined:
        for (std::size_t i = 0; i < m_table.size(); ++i)
            m_table[i] = static_cast<char32_t>(0xF780 + i);
        break;
    case DecodeMethod::MultiByte:
    case DecodeMethod::Stream:
    case DecodeMethod::Utf16LE:
    case DecodeMethod::Utf16BE:
        open(std::string(encoding.converter));
        break;
    }
}

ByteDecoder::ByteDecoder(const std::string& converter)
    : m_method(DecodeMethod::Stream)
    , m_differences(converter)
{
    open(converter);
}

ByteDecoder::~ByteDecoder()
{
    if (m_iconv)
        iconv_close(asIconv(m_iconv));
}

void ByteDecoder::open(const std::string& converter)
{
    iconv_t handle = iconv_open(m_method == DecodeMethod::MultiByte ? "UTF-32LE" : "UTF-8", converter.c_str());
    if (handle == iconv_t(-1)) {
        // Only converters that glibc has are named in the table; an unknown one leaves the bytes to Windows-1252.
        if (m_method != DecodeMethod::Stream) {
            m_method = DecodeMethod::SingleByte;
            for (std::size_t i = 0; i < m_table.size(); ++i)
                m_table[i] = fromWindows1252(static_cast<unsigned char>(0x80 + i));
        }
        return;
    }
    m_iconv = handle;
    m_unitSize = converter.find("32") != std::string::npos || converter.find("UCS-4") != std::string::npos ? 4
        : converter.find("16") != std::string::npos || converter.find("UCS-2") != std::string::npos        ? 2
                                                                                                           : 1;
}

// Each byte converted alone: no converter state (glibc's CP1255 and CP1258 would otherwise compose a letter with
// the accent after it, which browsers keep apart), then the browsers' differences.
void ByteDecoder::buildTable(std::string_view converter)
{
    iconv_t handle = iconv_open("UTF-32LE", std::string(converter).c_str());
    for (std::size_t i = 0; i < m_table.size(); ++i) {
        char in = static_cast<char>(0x80 + i);
        char out[16];
        char* inPointer = &in;
        std::size_t inLeft = 1;
        char* outPointer = out;
        std::size_t outLeft = sizeof out;
        char32_t c = kReplacement;
        if (handle != iconv_t(-1)) {
            iconv(handle, nullptr, nullptr, nullptr, nullptr);
            if (iconv(handle, &inPointer, &inLeft, &outPointer, &outLeft) != std::size_t(-1)
                && iconv(handle, nullptr, nullptr, &outPointer, &outLeft) != std::size_t(-1) && outPointer - out == 4)
                c = fromUtf32(out);
        } else {
            c = fromWindows1252(static_cast<unsigned char>(in));
        }
        bool needMore = false;
        if (const EncodingDifference* difference = m_differences.find(std::string_view(&in, 1), needMore))
            c = difference->codePoints[0] != 0 ? difference->codePoints[0] : kReplacement;
        m_table[i] = c;
    }
    if (handle != iconv_t(-1))
        iconv_close(handle);
}

std::size_t ByteDecoder::decode(std::string_view bytes, bool atEnd, std::string& out)
{
    switch (m_method) {
    case DecodeMethod::Utf8:
        return decodeUtf8(bytes, atEnd, out);
    case DecodeMethod::SingleByte:
    case DecodeMethod::UserDefined:
        for (const char byte : bytes) {
            const auto b = static_cast<unsigned char>(byte);
            if (b < 0x80) {
                out.push_back(byte);
            } else {
                const char32_t c = m_table[b - 0x80];
                m_errors += c == kReplacement;
                utf8::append(out, c);
            }
        }
        return bytes.size();
    case DecodeMethod::MultiByte:
        return decodeMultiByte(bytes, atEnd, out);
    case DecodeMethod::Stream:
    case DecodeMethod::Utf16LE:
    case DecodeMethod::Utf16BE:
        break;
    }
    return decodeStream(bytes, atEnd, out);
}

std::size_t ByteDecoder::decodeUtf8(std::string_view bytes, bool atEnd, std::string& out)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Well-formed text is copied a run at a time.
        std::size_t run = i;
        for (;;) {
            run += utf8::asciiPrefix(b + run, bytes.size() - run);
            if (run == bytes.size())
                break;
            const int length = utf8::sequenceLength(b + run, bytes.size() - run);
            if (length <= 0)
                break;
            run += static_cast<std::size_t>(length);
        }
        if (run > i) {
            out.append(bytes.data() + i, run - i);
            i = run;
            continue;
        }
        const int length = utf8::sequenceLength(b + i, bytes.size() - i);
        if (length == 0 && !atEnd)
            break; // the rest of the sequence comes with the next read
        // A stray byte in a file marked as UTF-8: keep it, read as Windows-1252.
        utf8::append(out, fromWindows1252(b[i]));
        ++m_errors;
        ++i;
    }
    return i;
}

// ASCII is copied; every other character is converted alone, so that the bytes it came from are known and the
// browsers' reading of them can take its place where it differs.
std::size_t ByteDecoder::decodeMultiByte(std::string_view bytes, bool atEnd, std::string& out)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(bytes[i++]);
            continue;
        }
        const std::string_view rest = bytes.substr(i);
        bool needMore = false;
        const EncodingDifference* difference = m_differences.find(rest, needMore);
        if (needMore && !atEnd)
            break;
        if (difference) {
            if (difference->codePoints[0] == 0) {
                utf8::append(out, kReplacement);
                ++m_errors;
            } else {
                for (const char32_t c : difference->codePoints)
                    if (c != 0)
                        utf8::append(out, c);
            }
            i += difference->bytes.size();
            continue;
        }
        char* in = const_cast<char*>(rest.data());
        std::size_t inLeft = rest.size();
        char converted[8]; // one character: one code point, or two for Big5's letters with a combining mark
        char* to = converted;
        std::size_t toLeft = 4;
        std::size_t result = iconv(asIconv(m_iconv), &in, &inLeft, &to, &toLeft);
        if (result == std::size_t(-1) && errno == E2BIG && to == converted) {
            toLeft = sizeof converted;
            result = iconv(asIconv(m_iconv), &in, &inLeft, &to, &toLeft);
        }
        const int error = result == std::size_t(-1) ? errno : 0;
        const auto used = static_cast<std::size_t>(in - rest.data());
        if (used > 0 && to > converted) {
            for (const char* p = converted; p + 4 <= to; p += 4) {
                const char32_t c = fromUtf32(p);
                utf8::append(out, wellFormed(c) ? c : kReplacement);
            }
            i += used;
            continue;
        }
        if (error == EINVAL && !atEnd)
            break; // the rest of the character comes with the next read
        // A sequence the encoding does not allow, or cut off at the end: mark the place, go on after its first byte.
        utf8::append(out, kReplacement);
        ++m_errors;
        ++i;
        iconv(asIconv(m_iconv), nullptr, nullptr, nullptr, nullptr);
    }
    return i;
}

std::size_t ByteDecoder::decodeStream(std::string_view bytes, bool atEnd, std::string& out)
{
    if (!m_iconv)
        return bytes.size();
    m_output.resize(4 * bytes.size() + 16);
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        char* in = const_cast<char*>(bytes.data() + begin);
        std::size_t inLeft = bytes.size() - begin;
        char* to = m_output.data();
        std::size_t toLeft = m_output.size();
        const std::size_t result = iconv(asIconv(m_iconv), &in, &inLeft, &to, &toLeft);
        const int error = result == std::size_t(-1) ? errno : 0;
        appendWellFormed(out, m_output.data(), static_cast<std::size_t>(to - m_output.data()));
        begin = static_cast<std::size_t>(in - bytes.data());
        if (error == E2BIG)
            continue;
        if (error == EILSEQ || (error == EINVAL && atEnd)) {
            // A sequence the encoding does not allow, or cut off at the end: mark the place, go on after it.
            utf8::append(out, kReplacement);
            ++m_errors;
            begin = std::min(bytes.size(), begin + static_cast<std::size_t>(m_unitSize));
            continue;
        }
        break; // EINVAL before the end: the rest of the sequence comes with the next read
    }
    return begin;
}

} // namespace papyrant
