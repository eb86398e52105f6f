#include "print/Base64Folding.h"

namespace papyrant {

namespace {

bool isBase64(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'
        || c == '=';
}

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// Indentation after a break longer than this ends the run: nobody wraps base64 that way, and the gap is held.
constexpr std::size_t kMaxGap = 256;
// How much a folded run's end may grow before what is no longer its end is dropped.
constexpr std::size_t kTailSlack = 4096;

// Offset in `text` where its last `count` base64 characters begin.
std::size_t lastCharsFrom(std::string_view text, std::size_t count)
{
    std::size_t at = text.size();
    while (at > 0 && count > 0) {
        --at;
        if (isBase64(text[at]))
            --count;
    }
    return at;
}

// Offset in `text` just after its first `count` base64 characters.
std::size_t firstCharsEnd(std::string_view text, std::size_t count)
{
    std::size_t at = 0;
    while (at < text.size() && count > 0)
        if (isBase64(text[at++]))
            --count;
    return at;
}

} // namespace

Base64Folding::Base64Folding(std::size_t threshold, XmlPieceSink& next)
    : m_threshold(threshold)
    , m_next(next)
{
}

std::string Base64Folding::note(std::uint64_t leftOut)
{
    std::string digits = std::to_string(leftOut);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.push_back(',');
        grouped.push_back(digits[i]);
    }
    return "[\u2026 " + grouped + " characters of base64 \u2026]";
}

void Base64Folding::piece(const XmlPiece& piece)
{
    if ((piece.kind == XmlPieceKind::Text || piece.kind == XmlPieceKind::CDataText) && !piece.malformed) {
        addText(piece);
        return;
    }
    endRun();
    m_lines.advance(piece.text);
    m_next.piece(piece);
}

void Base64Folding::end()
{
    endRun();
    m_next.end();
}

void Base64Folding::forward(XmlPieceKind kind, std::string_view text, std::uint64_t line)
{
    if (!text.empty())
        m_next.piece(XmlPiece { kind, text, line });
}

void Base64Folding::addText(const XmlPiece& piece)
{
    if (m_runLine != 0 && piece.kind != m_kind)
        endRun();
    const std::string_view text = piece.text;
    std::size_t plainFrom = 0; // text from here on is not yet handed on nor held
    std::uint64_t plainLine = m_lines.line();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isBase64(c)) {
            if (m_runLine == 0) {
                const std::string_view plain = text.substr(plainFrom, i - plainFrom);
                forward(piece.kind, plain, plainLine);
                m_lines.advance(plain);
                m_kind = piece.kind;
                m_runLine = m_lines.line();
            }
            m_run.append(m_gap);
            m_lines.advance(m_gap);
            m_gap.clear();
            m_run.push_back(c);
            m_lines.advance(text.substr(i, 1));
            ++m_runChars;
            plainFrom = i + 1;
            if (!m_folded && m_runChars > m_threshold) {
                // Long enough: show the start now and keep only the end from here on.
                m_folded = true;
                const std::size_t headEnd = firstCharsEnd(m_run, kShownChars);
                forward(m_kind, std::string_view(m_run).substr(0, headEnd), m_runLine);
                m_tailLines = SourceLineCounter(m_runLine);
                m_tailLines.advance(std::string_view(m_run).substr(0, headEnd));
                m_run.erase(0, headEnd);
                // The first character left out: after the break that may follow the start.
                SourceLineCounter gapLines = m_tailLines;
                gapLines.advance(std::string_view(m_run).substr(0, firstCharsEnd(m_run, 1) - 1));
                m_foldLine = gapLines.line();
            }
            if (m_folded && m_run.size() > kTailSlack)
                trimTail();
            continue;
        }
        if (m_runLine != 0 && (isLineBreak(c) || (!m_gap.empty() && (c == ' ' || c == '\t')))
            && m_gap.size() < kMaxGap) {
            m_gap.push_back(c);
            plainFrom = i + 1;
            continue;
        }
        if (m_runLine != 0) {
            // The run ends; its trailing gap is plain text again.
            const std::string gap = std::move(m_gap);
            m_gap.clear();
            endRun();
            forward(piece.kind, gap, m_lines.line());
            m_lines.advance(gap);
            plainLine = m_lines.line();
            plainFrom = i;
        }
    }
    const std::string_view plain = text.substr(plainFrom);
    forward(piece.kind, plain, plainLine);
    m_lines.advance(plain);
}

void Base64Folding::trimTail()
{
    const std::size_t from = lastCharsFrom(m_run, kShownChars);
    m_tailLines.advance(std::string_view(m_run).substr(0, from));
    m_run.erase(0, from);
}

void Base64Folding::endRun()
{
    if (m_runLine == 0)
        return;
    if (m_folded) {
        trimTail();
        const std::string text = note(m_runChars - 2 * kShownChars);
        m_next.piece(XmlPiece { XmlPieceKind::LineBreak, {}, m_foldLine });
        m_next.piece(XmlPiece { XmlPieceKind::Folded, text, m_foldLine });
        m_next.piece(XmlPiece { XmlPieceKind::LineBreak, {}, m_tailLines.line() });
        forward(m_kind, m_run, m_tailLines.line());
    } else {
        forward(m_kind, m_run, m_runLine);
    }
    m_run.clear();
    m_runChars = 0;
    m_runLine = 0;
    m_folded = false;
    if (!m_gap.empty()) {
        // A gap held when the text ended is plain text after the run.
        const std::string gap = std::move(m_gap);
        m_gap.clear();
        forward(m_kind, gap, m_lines.line());
        m_lines.advance(gap);
    }
}

} // namespace papyrant
