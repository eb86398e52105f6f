#pragma once

#include "print/PrintLine.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace papyrant {

// What a piece of XML text is. Long content (text, comments, CDATA, attribute values, ...) may come in several
// pieces of the same kind; `nodeStart` marks the first piece of each markup node.
enum class XmlPieceKind : std::uint8_t
{
    Text, // character data, or bytes the tokenizer could not follow
    EntityReference, // "&amp;", "&#10;"
    StartTagOpen, // "<name"
    EndTagOpen, // "</name"
    TagSpace, // white space between a tag's parts
    AttributeName,
    AttributeEquals, // "="
    AttributeValue, // with its quotes
    TagClose, // ">"
    EmptyTagClose, // "/>"
    Comment, // "<!--" ... "-->"
    CDataOpen, // "<![CDATA["
    CDataText, // what a CDATA section holds
    CDataClose, // "]]>"
    ProcessingInstruction, // "<?" ... "?>"
    Declaration, // "<!DOCTYPE" ... ">" and other "<!" declarations
    Folded, // a note standing for text left out
    LineBreak, // not text: the next piece begins a new printed line, at source line `line`
};

// How many kinds there are, for tables indexed by kind.
constexpr std::size_t kXmlPieceKinds = static_cast<std::size_t>(XmlPieceKind::LineBreak) + 1;

struct XmlPiece
{
    XmlPieceKind kind = XmlPieceKind::Text;
    std::string_view text;
    std::uint64_t line = 1; // the source line where the piece begins
    bool nodeStart = false; // the first piece of a tag, comment, PI, declaration or CDATA section
    // The tokenizer lost the structure here: what follows may not be markup as it reads it.
    bool malformed = false;
};

// The style a piece is printed in when the syntax is coloured.
TextStyle styleOf(XmlPieceKind kind);

// True when the text holds only XML white space.
bool isXmlSpace(std::string_view text);

// Counts the source lines that text begins, as PrintableLines counts them: CR LF, LF and CR each end a line,
// also when a CR LF pair is split between pieces.
class SourceLineCounter
{
public:
    explicit SourceLineCounter(std::uint64_t line = 1)
        : m_line(line)
    {
    }
    std::uint64_t line() const
    {
        return m_line;
    }
    void advance(std::string_view text);
    // Passes text known to hold no CR or LF, such as a name.
    void advanceWithinLine()
    {
        m_afterCr = false;
    }

private:
    std::uint64_t m_line = 1;
    bool m_afterCr = false;
};

// A stage of the XML view: takes pieces in order; `end` follows the last.
class XmlPieceSink
{
public:
    virtual ~XmlPieceSink() = default;
    virtual void piece(const XmlPiece& piece) = 0;
    virtual void end() = 0;
};

} // namespace papyrant
