#pragma once

#include "print/XmlPiece.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace papyrant {

// Cuts XML text into pieces (tags and their parts, text, entity references, comments, CDATA, processing
// instructions, declarations) as it streams in, holding back only the start of a piece it has not seen the end
// of. No piece is more than a few bytes longer than kMaxPiece: longer content comes in several pieces, so memory stays
// bounded whatever the input. Malformed input never stops it: a "<" that starts no markup is text, a tag cut short by
// another "<" ends there, an attribute value ends at a "<", and the first piece after each such recovery is
// marked malformed. Every byte handed in is handed out, in order, once.
class XmlTokenizer
{
public:
    static constexpr std::size_t kMaxPiece = 4096;

    explicit XmlTokenizer(XmlPieceSink& sink);

    // Takes the next piece of UTF-8 text; pieces may split the markup anywhere.
    void add(std::string_view text);
    // Hands out what is held back and ends the sink's input.
    void finish();

private:
    enum class State : std::uint8_t
    {
        Content,
        InTag,
        InAttributeValue,
        InComment,
        InCData,
        InProcessingInstruction,
        InDeclaration,
    };

    void run(bool final);
    bool step(bool final);
    bool stepContent(bool final);
    bool stepMarkupStart(bool final);
    bool stepInTag(bool final);
    bool stepAttributeValue(bool final);
    bool stepDelimited(XmlPieceKind kind, std::string_view terminator, bool final);
    bool stepCData(bool final);
    bool stepDeclaration(bool final);
    // Length of the name that starts `from` bytes into what is held; npos when more input could make it longer.
    std::size_t nameLength(std::size_t from, bool final) const;
    // `length` shortened so that a piece does not end inside a UTF-8 sequence.
    std::size_t wholeCharacters(std::size_t length) const;
    void emit(XmlPieceKind kind, std::size_t length);

    XmlPieceSink& m_sink;
    std::string m_held;
    std::size_t m_pos = 0; // what is held from here on has not been handed out
    State m_state = State::Content;
    SourceLineCounter m_lines;
    char m_quote = 0; // of the attribute value being read
    bool m_valueStart = false; // the attribute value's opening quote is still held
    bool m_nodeStart = false; // the next piece is the first of its node
    bool m_malformed = false; // the next piece follows a recovery
    std::size_t m_declarationDepth = 0; // "[" opened in the declaration being read
    char m_declarationQuote = 0;
};

} // namespace papyrant
