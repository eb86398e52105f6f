#include "print/XmlTokenizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace papyrant {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names are read loosely: every byte of a multi-byte character counts, so any script's names are names. A table,
// since every byte of every name is looked up.
enum NameByte : std::uint8_t
{
    kNotName = 0,
    kNameChar = 1,
    kNameStart = 2 | kNameChar,
};

constexpr std::array<std::uint8_t, 256> kNameBytes = [] {
    std::array<std::uint8_t, 256> table {};
    for (unsigned c = 0; c < 256; ++c) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80)
            table[c] = kNameStart;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            table[c] = kNameChar;
    }
    return table;
}();

bool isNameStart(char c)
{
    return kNameBytes[static_cast<unsigned char>(c)] == kNameStart;
}

bool isNameChar(char c)
{
    return kNameBytes[static_cast<unsigned char>(c)] != kNotName;
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The kinds of piece that cannot hold a line break: names, delimiters and references. The line count skips them.
constexpr std::array<bool, kXmlPieceKinds> kWithinLine = [] {
    std::array<bool, kXmlPieceKinds> table {};
    for (const XmlPieceKind kind : { XmlPieceKind::EntityReference, XmlPieceKind::StartTagOpen,
             XmlPieceKind::EndTagOpen, XmlPieceKind::AttributeName, XmlPieceKind::AttributeEquals,
             XmlPieceKind::TagClose, XmlPieceKind::EmptyTagClose, XmlPieceKind::CDataOpen, XmlPieceKind::CDataClose })
        table[static_cast<std::size_t>(kind)] = true;
    return table;
}();

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCDataOpen = "<![CDATA[";
// The longest reference read as one: "&#x10FFFF;" and entity names of any sensible length.
constexpr std::size_t kMaxReference = 32;

} // namespace

XmlTokenizer::XmlTokenizer(XmlPieceSink& sink)
    : m_sink(sink)
{
}

void XmlTokenizer::add(std::string_view text)
{
    if (m_pos > 0) {
        m_held.erase(0, m_pos);
        m_pos = 0;
    }
    m_held.append(text);
    run(false);
}

void XmlTokenizer::finish()
{
    run(true);
    m_held.clear();
    m_pos = 0;
    m_sink.end();
}

void XmlTokenizer::run(bool final)
{
    while (m_pos < m_held.size() && step(final)) { }
}

bool XmlTokenizer::step(bool final)
{
    switch (m_state) {
    case State::Content:
        return stepContent(final);
    case State::InTag:
        return stepInTag(final);
    case State::InAttributeValue:
        return stepAttributeValue(final);
    case State::InComment:
        return stepDelimited(XmlPieceKind::Comment, "-->", final);
    case State::InCData:
        return stepCData(final);
    case State::InProcessingInstruction:
        return stepDelimited(XmlPieceKind::ProcessingInstruction, "?>", final);
    case State::InDeclaration:
        return stepDeclaration(final);
    }
    return false;
}

// Inline, as is the name scan: every piece goes out through here.
inline void XmlTokenizer::emit(XmlPieceKind kind, std::size_t length)
{
    const std::string_view text(m_held.data() + m_pos, length);
    const XmlPiece piece { kind, text, m_lines.line(), m_nodeStart, m_malformed };
    if (kWithinLine[static_cast<std::size_t>(kind)])
        m_lines.advanceWithinLine();
    else
        m_lines.advance(text);
    m_pos += length;
    m_nodeStart = false;
    m_malformed = false;
    m_sink.piece(piece);
}

std::size_t XmlTokenizer::wholeCharacters(std::size_t length) const
{
    std::size_t cut = length;
    for (int back = 0; back < 4 && cut > 0 && m_pos + cut < m_held.size() && isContinuationByte(m_held[m_pos + cut]);
         ++back)
        --cut;
    return cut > 0 ? cut : length;
}

inline std::size_t XmlTokenizer::nameLength(std::size_t from, bool final) const
{
    const char* p = m_held.data() + m_pos;
    const std::size_t available = m_held.size() - m_pos;
    const std::size_t limit = std::min(available, from + kMaxPiece);
    std::size_t end = from;
    while (end < limit && isNameChar(p[end]))
        ++end;
    if (end == available && !final && end - from < kMaxPiece)
        return std::string_view::npos;
    return end - from;
}

bool XmlTokenizer::stepContent(bool final)
{
    const char* p = m_held.data() + m_pos;
    const std::size_t available = m_held.size() - m_pos;
    if (p[0] == '<')
        return stepMarkupStart(final);
    if (p[0] == '&') {
        std::size_t end = 1;
        if (end < available && p[end] == '#')
            ++end;
        while (end < available && end < kMaxReference && isNameChar(p[end]))
            ++end;
        if (end == available && !final && end < kMaxReference)
            return false;
        if (end < available && p[end] == ';' && end > 1) {
            emit(XmlPieceKind::EntityReference, end + 1);
            return true;
        }
        // A lone "&" is text: the rest reads on as it did.
        emit(XmlPieceKind::Text, 1);
        return true;
    }
    const std::size_t window = std::min(available, kMaxPiece);
    // Two searches for one byte each: a search for either byte would test each byte of the text against both.
    std::size_t markup = std::string_view::npos;
    if (const void* lt = std::memchr(p, '<', window))
        markup = static_cast<std::size_t>(static_cast<const char*>(lt) - p);
    if (const void* amp = std::memchr(p, '&', markup == std::string_view::npos ? window : markup))
        markup = static_cast<std::size_t>(static_cast<const char*>(amp) - p);
    // Text is cut where the text is, never where the input's pieces happen to end: then what is white space
    // only does not depend on how the input came.
    if (markup == std::string_view::npos && window < kMaxPiece && !final)
        return false;
    emit(XmlPieceKind::Text, markup == std::string_view::npos ? wholeCharacters(window) : markup);
    return true;
}

bool XmlTokenizer::stepMarkupStart(bool final)
{
    const std::string_view rest(m_held.data() + m_pos, m_held.size() - m_pos);
    if (rest.size() < 2 && !final)
        return false;
    const char next = rest.size() >= 2 ? rest[1] : 0;
    if (next == '/' || isNameStart(next)) {
        const std::size_t nameFrom = next == '/' ? 2 : 1;
        const std::size_t name = nameLength(nameFrom, final);
        if (name == std::string_view::npos)
            return false;
        if (name > 0) {
            m_nodeStart = true;
            emit(next == '/' ? XmlPieceKind::EndTagOpen : XmlPieceKind::StartTagOpen, nameFrom + name);
            m_state = State::InTag;
            return true;
        }
    } else if (next == '!') {
        const bool couldBeLonger = !final && rest.size() < kCDataOpen.size();
        if (rest.starts_with(kCommentOpen)) {
            m_state = State::InComment;
        } else if (rest.starts_with(kCDataOpen)) {
            m_nodeStart = true;
            emit(XmlPieceKind::CDataOpen, kCDataOpen.size());
            m_state = State::InCData;
            return true;
        } else if (couldBeLonger && (kCommentOpen.starts_with(rest) || kCDataOpen.starts_with(rest))) {
            return false;
        } else {
            m_state = State::InDeclaration;
            m_declarationDepth = 0;
            m_declarationQuote = 0;
        }
        m_nodeStart = true;
        return true;
    } else if (next == '?') {
        m_state = State::InProcessingInstruction;
        m_nodeStart = true;
        return true;
    }
    // A "<" that starts no markup is text, and the markup around it cannot be trusted.
    m_malformed = true;
    emit(XmlPieceKind::Text, 1);
    return true;
}

bool XmlTokenizer::stepInTag(bool final)
{
    const char* p = m_held.data() + m_pos;
    const std::size_t available = m_held.size() - m_pos;
    const char c = p[0];
    if (isSpace(c)) {
        std::size_t end = 1;
        while (end < available && end < kMaxPiece && isSpace(p[end]))
            ++end;
        emit(XmlPieceKind::TagSpace, end);
        return true;
    }
    if (c == '>') {
        emit(XmlPieceKind::TagClose, 1);
        m_state = State::Content;
        return true;
    }
    if (c == '/') {
        if (available < 2 && !final)
            return false;
        if (available >= 2 && p[1] == '>') {
            emit(XmlPieceKind::EmptyTagClose, 2);
            m_state = State::Content;
            return true;
        }
    } else if (c == '=') {
        emit(XmlPieceKind::AttributeEquals, 1);
        return true;
    } else if (c == '"' || c == '\'') {
        m_quote = c;
        m_valueStart = true;
        m_state = State::InAttributeValue;
        // The opening quote goes out with the value.
        return stepAttributeValue(final);
    } else if (c == '<') {
        // A tag cut short: it ends here and the "<" starts what comes next.
        m_state = State::Content;
        m_malformed = true;
        return true;
    } else if (isNameStart(c)) {
        const std::size_t name = nameLength(0, final);
        if (name == std::string_view::npos)
            return false;
        emit(XmlPieceKind::AttributeName, name);
        return true;
    }
    // Anything else in a tag is taken as it stands, a character at a time.
    std::size_t length = 1;
    while (length < available && length < 4 && isContinuationByte(p[length]))
        ++length;
    m_malformed = true;
    emit(XmlPieceKind::Text, length);
    return true;
}

bool XmlTokenizer::stepAttributeValue(bool final)
{
    const std::string_view rest(m_held.data() + m_pos, m_held.size() - m_pos);
    // The opening quote is not the value's end.
    const std::size_t from = m_valueStart ? 1 : 0;
    const std::size_t window = std::min(rest.size(), kMaxPiece);
    const char stops[] = { m_quote, '<', 0 };
    const std::size_t stop = rest.substr(0, window).find_first_of(stops, from);
    if (stop != std::string_view::npos) {
        m_valueStart = false;
        if (rest[stop] == m_quote) {
            emit(XmlPieceKind::AttributeValue, stop + 1);
            m_state = State::InTag;
        } else {
            // No value holds a "<": the closing quote is missing, and the tag ends with the value.
            if (stop > 0)
                emit(XmlPieceKind::AttributeValue, stop);
            m_state = State::Content;
            m_malformed = true;
        }
        return true;
    }
    if (window < kMaxPiece && !final)
        return false;
    m_valueStart = false;
    emit(XmlPieceKind::AttributeValue, wholeCharacters(window));
    return true;
}

bool XmlTokenizer::stepDelimited(XmlPieceKind kind, std::string_view terminator, bool final)
{
    const std::string_view rest(m_held.data() + m_pos, m_held.size() - m_pos);
    // The opener is not part of the terminator: "<!-->" and "<?>" do not end where they start.
    const std::size_t from = m_nodeStart ? (kind == XmlPieceKind::Comment ? kCommentOpen.size() : 2) : 0;
    // A piece of kMaxPiece bytes never cuts a terminator that starts inside it.
    const std::size_t window = std::min(rest.size(), kMaxPiece + terminator.size());
    const std::size_t end = rest.substr(0, window).find(terminator, std::min(from, window));
    if (end != std::string_view::npos) {
        emit(kind, end + terminator.size());
        m_state = State::Content;
        return true;
    }
    if (window < kMaxPiece + terminator.size() && !final)
        return false;
    emit(kind, wholeCharacters(std::min(rest.size(), kMaxPiece)));
    return true;
}

bool XmlTokenizer::stepCData(bool final)
{
    constexpr std::string_view kClose = "]]>";
    const std::string_view rest(m_held.data() + m_pos, m_held.size() - m_pos);
    const std::size_t window = std::min(rest.size(), kMaxPiece + kClose.size());
    const std::size_t end = rest.substr(0, window).find(kClose);
    if (end == 0) {
        emit(XmlPieceKind::CDataClose, kClose.size());
        m_state = State::Content;
        return true;
    }
    if (end != std::string_view::npos) {
        emit(XmlPieceKind::CDataText, std::min(end, kMaxPiece));
        return true;
    }
    if (window < kMaxPiece + kClose.size() && !final)
        return false;
    emit(XmlPieceKind::CDataText, wholeCharacters(std::min(rest.size(), kMaxPiece)));
    return true;
}

bool XmlTokenizer::stepDeclaration(bool final)
{
    const std::string_view rest(m_held.data() + m_pos, m_held.size() - m_pos);
    const std::size_t window = std::min(rest.size(), kMaxPiece);
    std::size_t depth = m_declarationDepth;
    char quote = m_declarationQuote;
    // Quoted literals and the internal subset's brackets may hold ">"; what is scanned is kept only once the
    // piece goes out.
    for (std::size_t i = m_nodeStart ? 2 : 0; i < window; ++i) {
        const char c = rest[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            depth -= depth > 0 ? 1 : 0;
        } else if (c == '>' && depth == 0) {
            emit(XmlPieceKind::Declaration, i + 1);
            m_state = State::Content;
            return true;
        }
    }
    if (window < kMaxPiece && !final)
        return false;
    const std::size_t length = wholeCharacters(window);
    // The state at the cut: scan again up to it when the cut moved back (it moves only over continuation
    // bytes, which change nothing).
    m_declarationDepth = depth;
    m_declarationQuote = quote;
    emit(XmlPieceKind::Declaration, length);
    return true;
}

} // namespace papyrant
