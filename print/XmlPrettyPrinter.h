#pragma once

#include "print/XmlPiece.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace papyrant {

// Indents XML whose elements run together, two spaces a level, each child on a line of its own. Only white space
// between tags changes, and only in an element whose children are all markup: an element is judged by what
// follows its start tag within kLookAhead bytes, and keeps its own spacing (and its descendants theirs) when
// text other than white space, an entity reference or CDATA shows up among its children there, or when it holds
// nothing but white space. From the first point the markup cannot be followed (a piece the tokenizer marks
// malformed, an end tag that closes no open element, text outside the root, nesting deeper than kMaxDepth) the
// rest passes as it stands. Holds at most kLookAhead bytes and the names of the open elements.
class XmlPrettyPrinter : public XmlPieceSink
{
public:
    static constexpr std::size_t kLookAhead = 64 * 1024;
    static constexpr std::size_t kMaxDepth = 1024;
    static constexpr std::string_view kIndent = "  ";

    explicit XmlPrettyPrinter(XmlPieceSink& next);

    void piece(const XmlPiece& piece) override;
    void end() override;

private:
    enum class Decision : std::uint8_t
    {
        Unknown,
        Format, // its children each on a line of their own
        Keep, // as it stands, with everything in it
    };

    struct Held
    {
        XmlPieceKind kind;
        bool nodeStart;
        bool malformed;
        std::uint64_t line;
        std::size_t offset; // of its text in m_text, counted from the first byte ever held
        std::size_t size;
        // For a start tag: what the look-ahead has found about its element.
        Decision decision = Decision::Unknown;
        bool hasChild = false;
    };

    struct Open
    {
        std::uint64_t held; // sequence number of its start tag
        std::size_t nameSize; // its name is the end of m_names
        bool judged;
        bool hasChild;
    };

    // The look-ahead, on each piece as it comes in.
    bool judge(const XmlPiece& piece, std::uint64_t sequence);
    bool judgeStructure(const XmlPiece& piece, std::uint64_t sequence);
    Held* heldAt(std::uint64_t sequence);
    void decide(Open& open, Decision decision);
    // Whether the held piece must wait for the decision on its element; with `all`, or once the look-ahead is
    // used up, decides it on what has been seen instead.
    bool waits(Held& held, bool all);
    // Hands on what is decided; with `all`, decides the rest on what has been seen.
    void release(bool all);
    void print(const Held& held);
    void breakLine(std::uint64_t line, std::size_t depth);

    XmlPieceSink& m_next;

    // Pieces waiting for the decision on an element before them, from m_held[m_heldFrom] on; their texts, one after
    // the other. A vector with a moving front rather than a deque: every piece passes through here, and the
    // vector empties whenever an element is decided.
    std::vector<Held> m_held;
    std::size_t m_heldFrom = 0;
    std::uint64_t m_firstHeld = 0; // sequence number of m_held[m_heldFrom]
    std::string m_text;
    std::size_t m_textBase = 0; // of m_text[0]
    // While the first piece held waits on the look-ahead: where the look-ahead ends, counted as offsets are; else 0.
    std::size_t m_waitsUntil = 0;

    // The look-ahead's view of the open elements.
    std::vector<Open> m_open;
    std::string m_names;
    std::uint64_t m_startTag = 0; // sequence number of the start tag being read
    std::size_t m_startNameSize = 0; // its name is the end of m_names while it is read
    bool m_readingStartTag = false;
    bool m_lost = false; // the markup could not be followed from some piece on

    // The printing side.
    std::vector<bool> m_formatted; // per open formatted element: it has printed a child
    std::size_t m_keptDepth = 0; // open elements inside, and including, the outermost kept one
    Decision m_tagDecision = Decision::Unknown; // of the start tag being printed
    bool m_inStartTag = false;
    bool m_raw = false;
    std::string m_droppedSpace; // white space left out since the last piece printed
    std::uint64_t m_droppedLine = 0;
    bool m_printed = false;
};

} // namespace papyrant
