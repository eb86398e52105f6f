#include "print/TextDecoder.h"

#include "print/ByteSource.h"
#include "print/Windows1252.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <optional>
#include <string_view>

namespace papyrant {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kHeadSize = 1024; // an XML declaration is short; it must sit in the first bytes

iconv_t asIconv(void* handle)
{
    return static_cast<iconv_t>(handle);
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The encoding named by an XML declaration at the start of `head` (ASCII), or nothing.
std::optional<std::string> declaredEncoding(std::string_view head)
{
    if (head.substr(0, 5) != "<?xml")
        return std::nullopt;
    const std::size_t close = head.find("?>");
    const std::string_view declaration = head.substr(0, close);
    std::size_t at = 5;
    while ((at = declaration.find("encoding", at)) != std::string_view::npos) {
        std::size_t p = at + 8;
        at = p;
        auto skipSpace = [&] {
            while (p < declaration.size() && std::isspace(static_cast<unsigned char>(declaration[p])))
                ++p;
        };
        skipSpace();
        if (p >= declaration.size() || declaration[p] != '=')
            continue;
        ++p;
        skipSpace();
        if (p >= declaration.size() || (declaration[p] != '"' && declaration[p] != '\''))
            continue;
        const char quote = declaration[p++];
        const std::size_t end = declaration.find(quote, p);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = declaration.substr(p, end - p);
        const bool wellFormed = !name.empty() && std::isalpha(static_cast<unsigned char>(name[0]))
            && std::all_of(name.begin(), name.end(),
                [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'; });
        if (!wellFormed)
            return std::nullopt;
        return upper(name);
    }
    return std::nullopt;
}

bool isUtf16Or32(const std::string& name)
{
    return name.rfind("UTF-16", 0) == 0 || name.rfind("UTF16", 0) == 0 || name.rfind("UCS-2", 0) == 0
        || name.rfind("UTF-32", 0) == 0 || name.rfind("UCS-4", 0) == 0;
}

bool isWindows1252(const std::string& name)
{
    return name == "WINDOWS-1252" || name == "CP1252" || name == "X-CP1252";
}

bool isUtf8(const std::string& name)
{
    return name == "UTF-8" || name == "UTF8";
}

} // namespace

TextDecoder::TextDecoder(ByteSource& source)
    : m_source(source)
    , m_buffer(kChunkSize + 8)
{
    choose();
}

TextDecoder::~TextDecoder()
{
    if (m_iconv)
        iconv_close(asIconv(m_iconv));
}

bool TextDecoder::fill()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_sourceDone || m_end == m_buffer.size())
        return false;
    const std::size_t count = m_source.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (count == 0) {
        m_sourceDone = true;
        return false;
    }
    m_end += count;
    return true;
}

void TextDecoder::choose()
{
    while (m_end < kHeadSize && fill()) { }
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.data());
    const std::size_t n = m_end;
    auto starts = [&](std::initializer_list<unsigned char> bytes) {
        return n >= bytes.size() && std::equal(bytes.begin(), bytes.end(), b);
    };

    // Only the head counts, so that however many bytes the first reads brought, the choice is the same.
    const std::string_view head(m_buffer.data(), std::min(n, kHeadSize));

    std::string encoding;
    if (starts({ 0xEF, 0xBB, 0xBF })) {
        encoding = "UTF-8";
        m_skip = 3;
    } else if (starts({ 0xFF, 0xFE, 0x00, 0x00 })) {
        encoding = "UTF-32LE";
        m_skip = 4;
    } else if (starts({ 0x00, 0x00, 0xFE, 0xFF })) {
        encoding = "UTF-32BE";
        m_skip = 4;
    } else if (starts({ 0xFF, 0xFE })) {
        encoding = "UTF-16LE";
        m_skip = 2;
    } else if (starts({ 0xFE, 0xFF })) {
        encoding = "UTF-16BE";
        m_skip = 2;
    } else if (starts({ '<', 0x00, '?', 0x00 })) {
        encoding = "UTF-16LE"; // an XML declaration in UTF-16 without a mark
    } else if (starts({ 0x00, '<', 0x00, '?' })) {
        encoding = "UTF-16BE";
    } else if (auto declared = declaredEncoding(head)) {
        // A 16- or 32-bit encoding cannot have been read as ASCII; such a declaration is wrong.
        if (!isUtf8(*declared) && !isUtf16Or32(*declared)) {
            if (isWindows1252(*declared)) {
                encoding = "WINDOWS-1252";
            } else if (iconv_t handle = iconv_open("UTF-8", declared->c_str()); handle != iconv_t(-1)) {
                iconv_close(handle);
                encoding = *declared;
            }
        }
    }

    if (encoding.empty()) {
        // Undeclared (or declared UTF-8): UTF-8 only when every byte of the file agrees.
        bool valid = true;
        std::size_t carried = 0;
        for (;;) {
            std::size_t i = 0;
            while (i < m_end) {
                const int length = utf8::sequenceLength(b + i, m_end - i);
                if (length < 0) {
                    valid = false;
                    break;
                }
                if (length == 0)
                    break;
                i += static_cast<std::size_t>(length);
            }
            if (!valid)
                break;
            carried = m_end - i;
            m_begin = i;
            if (!fill())
                break;
            b = reinterpret_cast<const unsigned char*>(m_buffer.data());
        }
        if (valid && carried > 0)
            valid = false; // cut off in the middle of a sequence
        encoding = valid ? "UTF-8" : "WINDOWS-1252";
        m_source.rewind();
        m_begin = m_end = 0;
        m_sourceDone = false;
    }

    m_encoding = encoding;
    if (isUtf8(encoding)) {
        m_method = Method::Utf8;
    } else if (isWindows1252(encoding)) {
        m_method = Method::Windows1252;
    } else {
        m_method = Method::Iconv;
        m_iconv = iconv_open("UTF-8", encoding.c_str());
        if (m_iconv == reinterpret_cast<void*>(-1)) {
            // Checked above; a failure here leaves the bytes to the most forgiving reading.
            m_iconv = nullptr;
            m_method = Method::Windows1252;
            m_encoding = "WINDOWS-1252";
        }
        m_unitSize = encoding.find("32") != std::string::npos ? 4 : encoding.find("16") != std::string::npos ? 2 : 1;
    }
}

bool TextDecoder::next(std::string& out)
{
    if (m_done)
        return false;
    if (m_skip > 0) {
        while (m_end - m_begin < m_skip && fill()) { }
        m_begin += std::min(m_skip, m_end - m_begin);
        m_skip = 0;
    }
    fill();
    const bool atEnd = m_sourceDone;
    if (m_begin == m_end && atEnd) {
        m_done = true;
        return false;
    }
    const std::size_t before = out.size();
    switch (m_method) {
    case Method::Utf8:
        decodeUtf8(out, atEnd);
        break;
    case Method::Windows1252:
        decodeWindows1252(out);
        break;
    case Method::Iconv:
        decodeIconv(out, atEnd);
        break;
    }
    if (atEnd && m_begin == m_end)
        m_done = true;
    return out.size() > before || !m_done;
}

void TextDecoder::decodeUtf8(std::string& out, bool atEnd)
{
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.data());
    std::size_t i = m_begin;
    while (i < m_end) {
        const int length = utf8::sequenceLength(b + i, m_end - i);
        if (length > 0) {
            out.append(m_buffer.data() + i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
        } else if (length == 0 && !atEnd) {
            break; // the rest of the sequence comes with the next read
        } else {
            // A stray byte in a file marked as UTF-8: keep it, read as Windows-1252.
            utf8::append(out, fromWindows1252(b[i]));
            ++i;
        }
    }
    m_begin = i;
}

void TextDecoder::decodeWindows1252(std::string& out)
{
    for (std::size_t i = m_begin; i < m_end; ++i)
        utf8::append(out, fromWindows1252(static_cast<unsigned char>(m_buffer[i])));
    m_begin = m_end;
}

namespace {

// iconv passes some ill-formed code points on (surrogates, values past U+10FFFF from UCS-4); each of their
// bytes becomes U+FFFD here, so that everything after the decoder sees well-formed UTF-8.
void appendWellFormed(std::string& out, const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size;) {
        const int length = utf8::sequenceLength(bytes + i, size - i);
        if (length > 0) {
            out.append(data + i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
        } else {
            utf8::append(out, U'\uFFFD');
            ++i;
        }
    }
}

} // namespace

void TextDecoder::decodeIconv(std::string& out, bool atEnd)
{
    std::vector<char>& output = m_output;
    output.resize(4 * kChunkSize);
    while (m_begin < m_end) {
        char* in = m_buffer.data() + m_begin;
        std::size_t inLeft = m_end - m_begin;
        char* to = output.data();
        std::size_t toLeft = output.size();
        const std::size_t result = iconv(asIconv(m_iconv), &in, &inLeft, &to, &toLeft);
        const int error = result == std::size_t(-1) ? errno : 0;
        appendWellFormed(out, output.data(), static_cast<std::size_t>(to - output.data()));
        m_begin = static_cast<std::size_t>(in - m_buffer.data());
        if (error == E2BIG)
            continue;
        if (error == EILSEQ || (error == EINVAL && atEnd)) {
            // A sequence the encoding does not allow, or cut off at the end: mark the place, go on after it.
            utf8::append(out, U'\uFFFD');
            m_begin = std::min(m_end, m_begin + static_cast<std::size_t>(m_unitSize));
            continue;
        }
        break; // EINVAL before the end: the rest of the sequence comes with the next read
    }
}

} // namespace papyrant
