#include "print/XmlPrettyPrinter.h"

#include <algorithm>

namespace papyrant {

namespace {

// The name in a tag's opening piece: "<name" or "</name".
std::string_view nameIn(std::string_view tagOpen)
{
    const std::size_t from = tagOpen.starts_with("</") ? 2 : 1;
    return tagOpen.substr(std::min(from, tagOpen.size()));
}

// Pieces handed on that the look-ahead's vector may keep before it lets go of them.
constexpr std::size_t kDropHeld = 4096;

bool isTextLike(XmlPieceKind kind)
{
    switch (kind) {
    case XmlPieceKind::EntityReference:
    case XmlPieceKind::CDataOpen:
    case XmlPieceKind::CDataText:
    case XmlPieceKind::CDataClose:
    case XmlPieceKind::Folded:
    case XmlPieceKind::LineBreak:
        return true;
    default:
        return false;
    }
}

} // namespace

XmlPrettyPrinter::XmlPrettyPrinter(XmlPieceSink& next)
    : m_next(next)
{
}

void XmlPrettyPrinter::piece(const XmlPiece& piece)
{
    if (m_raw && m_heldFrom == m_held.size()) {
        m_next.piece(piece);
        return;
    }
    const std::uint64_t sequence = m_firstHeld + (m_held.size() - m_heldFrom);
    m_held.push_back(Held {
        piece.kind, piece.nodeStart, piece.malformed, piece.line, m_textBase + m_text.size(), piece.text.size() });
    m_text.append(piece.text);
    if (!m_lost && !judge(piece, sequence)) {
        m_lost = true;
        m_held.back().malformed = true;
    }
    // Most pieces come while the look-ahead waits on the element of the first one held: nothing can go on.
    if (m_textBase + m_text.size() < m_waitsUntil && !m_lost && m_held[m_heldFrom].decision == Decision::Unknown)
        return;
    release(false);
}

void XmlPrettyPrinter::end()
{
    release(true);
    m_next.end();
}

XmlPrettyPrinter::Held* XmlPrettyPrinter::heldAt(std::uint64_t sequence)
{
    if (sequence < m_firstHeld || sequence - m_firstHeld >= m_held.size() - m_heldFrom)
        return nullptr;
    return &m_held[m_heldFrom + static_cast<std::size_t>(sequence - m_firstHeld)];
}

void XmlPrettyPrinter::decide(Open& open, Decision decision)
{
    open.judged = true;
    if (Held* held = heldAt(open.held))
        held->decision = decision;
}

inline bool XmlPrettyPrinter::judge(const XmlPiece& piece, std::uint64_t sequence)
{
    // A tag's inner parts, and its close when no start tag is being read, change nothing the look-ahead knows:
    // these are most pieces, and need no call.
    switch (piece.kind) {
    case XmlPieceKind::TagSpace:
    case XmlPieceKind::AttributeName:
    case XmlPieceKind::AttributeEquals:
    case XmlPieceKind::AttributeValue:
        return !piece.malformed;
    case XmlPieceKind::TagClose:
    case XmlPieceKind::EmptyTagClose:
        if (!m_readingStartTag)
            return !piece.malformed;
        break;
    default:
        break;
    }
    return judgeStructure(piece, sequence);
}

bool XmlPrettyPrinter::judgeStructure(const XmlPiece& piece, std::uint64_t sequence)
{
    if (piece.malformed)
        return false;
    Open* parent = m_open.empty() ? nullptr : &m_open.back();
    const auto childMarkup = [&] {
        if (parent) {
            parent->hasChild = true;
            if (Held* held = heldAt(parent->held))
                held->hasChild = true;
        }
    };
    const auto childText = [&] {
        if (!parent)
            return false; // text outside the root
        if (!parent->judged)
            decide(*parent, Decision::Keep);
        return true;
    };
    switch (piece.kind) {
    case XmlPieceKind::StartTagOpen:
        if (piece.nodeStart) {
            childMarkup();
            // The name goes on the open elements' names at once, and comes off again if the tag closes itself.
            if (m_readingStartTag)
                m_names.resize(m_names.size() - m_startNameSize);
            const std::string_view name = nameIn(piece.text);
            m_names.append(name);
            m_startNameSize = name.size();
            m_startTag = sequence;
            m_readingStartTag = true;
        }
        return true;
    case XmlPieceKind::TagClose:
        if (m_readingStartTag) {
            m_readingStartTag = false;
            if (m_open.size() >= kMaxDepth)
                return false;
            m_open.push_back(Open { m_startTag, m_startNameSize, false, false });
        }
        return true;
    case XmlPieceKind::EmptyTagClose:
        if (m_readingStartTag) {
            m_readingStartTag = false;
            m_names.resize(m_names.size() - m_startNameSize);
            if (Held* held = heldAt(m_startTag))
                held->decision = Decision::Keep;
        }
        return true;
    case XmlPieceKind::EndTagOpen: {
        if (!piece.nodeStart)
            return true;
        if (!parent)
            return false;
        const std::string_view name = nameIn(piece.text);
        if (std::string_view(m_names).substr(m_names.size() - parent->nameSize) != name)
            return false;
        if (!parent->judged)
            decide(*parent, parent->hasChild ? Decision::Format : Decision::Keep);
        m_names.resize(m_names.size() - parent->nameSize);
        m_open.pop_back();
        return true;
    }
    case XmlPieceKind::Text:
        return isXmlSpace(piece.text) || childText();
    case XmlPieceKind::Comment:
    case XmlPieceKind::ProcessingInstruction:
    case XmlPieceKind::Declaration:
        if (piece.nodeStart)
            childMarkup();
        return true;
    default:
        return !isTextLike(piece.kind) || childText();
    }
}

bool XmlPrettyPrinter::waits(Held& held, bool all)
{
    if (m_raw || held.malformed || held.kind != XmlPieceKind::StartTagOpen || !held.nodeStart || m_keptDepth > 0
        || held.decision != Decision::Unknown)
        return false;
    const std::size_t after = m_textBase + m_text.size() - (held.offset + held.size);
    if (!all && !m_lost && after < kLookAhead) {
        m_waitsUntil = held.offset + held.size + kLookAhead;
        return true;
    }
    // Judged on what the look-ahead has seen.
    held.decision = held.hasChild ? Decision::Format : Decision::Keep;
    return false;
}

void XmlPrettyPrinter::release(bool all)
{
    m_waitsUntil = 0;
    for (; m_heldFrom < m_held.size(); ++m_heldFrom, ++m_firstHeld) {
        Held& held = m_held[m_heldFrom];
        if (held.malformed && !m_raw) {
            m_raw = true;
            // From here the text is printed as it stands, with the white space that led up to it.
            if (!m_droppedSpace.empty())
                m_next.piece(XmlPiece { XmlPieceKind::Text, m_droppedSpace, m_droppedLine });
        }
        if (waits(held, all))
            break;
        print(held);
    }
    if (m_heldFrom == m_held.size()) {
        m_held.clear();
        m_heldFrom = 0;
        m_textBase += m_text.size();
        m_text.clear();
        return;
    }
    if (const std::size_t done = m_held[m_heldFrom].offset - m_textBase; done > kLookAhead) {
        m_text.erase(0, done);
        m_textBase += done;
    }
    // What was handed on goes now and then, so that a long look-ahead keeps about what it holds.
    if (m_heldFrom >= kDropHeld) {
        m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(m_heldFrom));
        m_heldFrom = 0;
    }
}

void XmlPrettyPrinter::breakLine(std::uint64_t line, std::size_t depth)
{
    static const std::string kSpaces(kMaxDepth * kIndent.size(), ' ');
    m_next.piece(XmlPiece { XmlPieceKind::LineBreak, {}, line });
    if (depth > 0)
        m_next.piece(
            XmlPiece { XmlPieceKind::Text, std::string_view(kSpaces).substr(0, depth * kIndent.size()), line });
}

void XmlPrettyPrinter::print(const Held& held)
{
    const XmlPiece piece { held.kind, std::string_view(m_text.data() + (held.offset - m_textBase), held.size),
        held.line, held.nodeStart, held.malformed };
    if (m_raw) {
        m_next.piece(piece);
        return;
    }
    if (m_keptDepth > 0) {
        // Inside an element that keeps its spacing: only count the elements, to find its end.
        if (held.kind == XmlPieceKind::StartTagOpen && held.nodeStart) {
            m_inStartTag = true;
        } else if (held.kind == XmlPieceKind::TagClose && m_inStartTag) {
            m_inStartTag = false;
            ++m_keptDepth;
        } else if (held.kind == XmlPieceKind::EmptyTagClose) {
            m_inStartTag = false;
        } else if (held.kind == XmlPieceKind::EndTagOpen && held.nodeStart) {
            --m_keptDepth;
        }
        m_next.piece(piece);
        return;
    }
    switch (held.kind) {
    case XmlPieceKind::Text:
        if (isXmlSpace(piece.text)) {
            m_droppedSpace.assign(piece.text);
            m_droppedLine = piece.line;
            return;
        }
        break;
    case XmlPieceKind::TagClose:
        if (m_inStartTag) {
            m_inStartTag = false;
            if (m_tagDecision == Decision::Format)
                m_formatted.push_back(false);
            else
                m_keptDepth = 1;
        }
        break;
    case XmlPieceKind::EmptyTagClose:
        m_inStartTag = false;
        break;
    case XmlPieceKind::EndTagOpen:
        if (held.nodeStart && !m_formatted.empty()) {
            const bool hadChild = m_formatted.back();
            m_formatted.pop_back();
            if (hadChild)
                breakLine(held.line, m_formatted.size());
        }
        break;
    case XmlPieceKind::StartTagOpen:
    case XmlPieceKind::Comment:
    case XmlPieceKind::ProcessingInstruction:
    case XmlPieceKind::Declaration:
    case XmlPieceKind::CDataOpen:
        if (held.nodeStart) {
            if (!m_formatted.empty())
                m_formatted.back() = true;
            if (m_printed)
                breakLine(held.line, m_formatted.size());
            if (held.kind == XmlPieceKind::StartTagOpen) {
                m_inStartTag = true;
                m_tagDecision = held.decision;
            }
        }
        break;
    default:
        break;
    }
    m_printed = true;
    m_droppedSpace.clear();
    m_next.piece(piece);
}

} // namespace papyrant
