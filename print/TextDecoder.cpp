#include "print/TextDecoder.h"

#include "print/ByteDecoder.h"
#include "print/ByteSource.h"
#include "print/EncodingSniffing.h"
#include "print/WebEncoding.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

namespace papyrant {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kHeadSize = 1024; // an XML declaration is short; it must sit in the first bytes
constexpr std::size_t kNulSniffSize = 4096;

struct Declaration
{
    std::string label;
    std::size_t length = 0; // of the declaration, from "<?xml" to "?>" (or to the label's closing quote)
};

// The encoding named by an XML declaration at the start of `head` (ASCII), or nothing.
std::optional<Declaration> declaredEncoding(std::string_view head)
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
        return Declaration { std::string(name), close == std::string_view::npos ? end + 1 : close + 2 };
    }
    return std::nullopt;
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// A declaration is read as ASCII before its encoding is known, so an encoding that does not give those very
// characters back (UTF-16, EBCDIC, ...) cannot be the file's.
bool readsAsItself(const std::string_view declaration, std::unique_ptr<ByteDecoder> decoder)
{
    std::string text;
    const std::size_t used = decoder->decode(declaration, true, text);
    return used == declaration.size() && text == declaration;
}

} // namespace

TextDecoder::TextDecoder(ByteSource& source)
    : m_source(source)
    , m_buffer(kChunkSize + 8)
{
    choose();
}

TextDecoder::~TextDecoder() = default;

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

void TextDecoder::restart()
{
    m_source.rewind();
    m_begin = m_end = 0;
    m_sourceDone = false;
}

// The mark, UTF-16's NULs or the declaration; false when none of them decides.
bool TextDecoder::chooseFromHead()
{
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.data());
    const std::size_t n = m_end;
    auto starts = [&](std::initializer_list<unsigned char> bytes) {
        return n >= bytes.size() && std::equal(bytes.begin(), bytes.end(), b);
    };
    auto use = [&](std::string_view name, EncodingChoice::Source source, std::size_t skip = 0) {
        m_decoder = std::make_unique<ByteDecoder>(webEncoding(name));
        m_choice = { std::string(name), source };
        m_skip = skip;
        return true;
    };
    auto useConverter = [&](const std::string& name, std::size_t skip) {
        m_decoder = std::make_unique<ByteDecoder>(name);
        m_choice = { name, EncodingChoice::Source::Mark };
        m_skip = skip;
        return true;
    };

    if (starts({ 0xEF, 0xBB, 0xBF }))
        return use("UTF-8", EncodingChoice::Source::Mark, 3);
    if (starts({ 0xFF, 0xFE, 0x00, 0x00 }))
        return useConverter("UTF-32LE", 4);
    if (starts({ 0x00, 0x00, 0xFE, 0xFF }))
        return useConverter("UTF-32BE", 4);
    if (starts({ 0xFF, 0xFE }))
        return use("UTF-16LE", EncodingChoice::Source::Mark, 2);
    if (starts({ 0xFE, 0xFF }))
        return use("UTF-16BE", EncodingChoice::Source::Mark, 2);
    // An XML declaration in UTF-16 without a mark, then UTF-16 recognised by where its NULs are.
    if (starts({ '<', 0x00, '?', 0x00 }))
        return use("UTF-16LE", EncodingChoice::Source::Detection);
    if (starts({ 0x00, '<', 0x00, '?' }))
        return use("UTF-16BE", EncodingChoice::Source::Detection);
    // Only the head counts, so that however many bytes the first reads brought, the choice is the same.
    const std::string_view head(m_buffer.data(), std::min(n, kHeadSize));
    if (const WebEncoding* utf16 = utf16FromNuls(std::string_view(m_buffer.data(), std::min(n, kNulSniffSize))))
        return use(utf16->name, EncodingChoice::Source::Detection);

    const std::optional<Declaration> declared = declaredEncoding(head);
    if (!declared)
        return false;
    const std::string_view declaration = head.substr(0, declared->length);
    if (const WebEncoding* encoding = webEncodingForLabel(declared->label)) {
        // A file declared UTF-8 is still checked: one that is not is far more often Windows-1252 than broken.
        if (encoding->method == DecodeMethod::Utf8
            || !readsAsItself(declaration, std::make_unique<ByteDecoder>(*encoding)))
            return false;
        return use(encoding->name, EncodingChoice::Source::Declaration);
    }
    // A label outside the browsers' table that the converter knows.
    const std::string converter = upper(declared->label);
    auto decoder = std::make_unique<ByteDecoder>(converter);
    if (!decoder->valid() || !readsAsItself(declaration, std::make_unique<ByteDecoder>(converter)))
        return false;
    m_decoder = std::move(decoder);
    m_choice = { converter, EncodingChoice::Source::Declaration };
    return true;
}

// Reads the whole source: true when all of it is well-formed UTF-8.
bool TextDecoder::isUtf8Throughout()
{
    for (;;) {
        const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.data());
        std::size_t i = 0;
        while (i < m_end) {
            i += utf8::asciiPrefix(b + i, m_end - i);
            if (i == m_end)
                break;
            const int length = utf8::sequenceLength(b + i, m_end - i);
            if (length < 0)
                return false;
            if (length == 0)
                break;
            i += static_cast<std::size_t>(length);
        }
        m_begin = i;
        if (!fill())
            return m_begin == m_end; // else cut off in the middle of a sequence
    }
}

void TextDecoder::choose()
{
    while (m_end < kNulSniffSize && fill()) { }
    if (chooseFromHead())
        return;
    const bool declaredUtf8 = [&] {
        const auto declared = declaredEncoding(std::string_view(m_buffer.data(), std::min(m_end, kHeadSize)));
        const WebEncoding* encoding = declared ? webEncodingForLabel(declared->label) : nullptr;
        return encoding && encoding->method == DecodeMethod::Utf8;
    }();

    const bool utf8 = isUtf8Throughout();
    restart();
    if (utf8) {
        m_decoder = std::make_unique<ByteDecoder>(webEncoding("UTF-8"));
        m_choice = { "UTF-8", declaredUtf8 ? EncodingChoice::Source::Declaration : EncodingChoice::Source::Detection };
        return;
    }
    // Undeclared legacy text: what uchardet recognises in the first piece, else Windows-1252.
    while (fill()) { }
    const WebEncoding* detected = detectLegacyEncoding(std::string_view(m_buffer.data(), m_end), m_sourceDone);
    restart();
    const WebEncoding& encoding = detected ? *detected : webEncoding("windows-1252");
    m_decoder = std::make_unique<ByteDecoder>(encoding);
    m_choice = { std::string(encoding.name),
        detected ? EncodingChoice::Source::Detection : EncodingChoice::Source::Fallback };
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
    m_begin += m_decoder->decode(std::string_view(m_buffer.data() + m_begin, m_end - m_begin), atEnd, out);
    if (atEnd && m_begin == m_end)
        m_done = true;
    return out.size() > before || !m_done;
}

} // namespace papyrant
