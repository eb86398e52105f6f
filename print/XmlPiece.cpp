#include "print/XmlPiece.h"

#include "text/ByteWords.h"

namespace papyrant {

TextStyle styleOf(XmlPieceKind kind)
{
    switch (kind) {
    case XmlPieceKind::Text:
    case XmlPieceKind::TagSpace:
    case XmlPieceKind::LineBreak:
        return TextStyle::Text;
    case XmlPieceKind::EntityReference:
        return TextStyle::EntityReference;
    case XmlPieceKind::StartTagOpen:
    case XmlPieceKind::EndTagOpen:
    case XmlPieceKind::AttributeEquals:
    case XmlPieceKind::TagClose:
    case XmlPieceKind::EmptyTagClose:
        return TextStyle::Markup;
    case XmlPieceKind::AttributeName:
        return TextStyle::AttributeName;
    case XmlPieceKind::AttributeValue:
        return TextStyle::AttributeValue;
    case XmlPieceKind::Comment:
        return TextStyle::Comment;
    case XmlPieceKind::CDataOpen:
    case XmlPieceKind::CDataText:
    case XmlPieceKind::CDataClose:
        return TextStyle::CData;
    case XmlPieceKind::ProcessingInstruction:
        return TextStyle::ProcessingInstruction;
    case XmlPieceKind::Declaration:
        return TextStyle::Declaration;
    case XmlPieceKind::Folded:
        return TextStyle::Folded;
    }
    return TextStyle::Text;
}

bool isXmlSpace(std::string_view text)
{
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return false;
    return true;
}

void SourceLineCounter::advance(std::string_view text)
{
    // Counted in locals: the text's bytes may alias anything, members included, which would have each byte
    // store and load them again.
    std::uint64_t line = m_line;
    bool afterCr = m_afterCr;
    const auto count = [&](char c) {
        if (static_cast<unsigned char>(c) > '\r') {
            afterCr = false; // most bytes: above both line ends
        } else if (c == '\n') {
            if (!afterCr)
                ++line;
            afterCr = false;
        } else if (c == '\r') {
            ++line;
            afterCr = true;
        } else {
            afterCr = false;
        }
    };
    std::size_t i = 0;
    // Eight bytes at a time past those with no byte as low as CR.
    for (; i + 8 <= text.size(); i += 8) {
        if (!bytewords::anyBelow(bytewords::wordAt(text.data() + i), '\r' + 1)) {
            afterCr = false;
            continue;
        }
        for (std::size_t j = i; j < i + 8; ++j)
            count(text[j]);
    }
    for (; i < text.size(); ++i)
        count(text[i]);
    m_line = line;
    m_afterCr = afterCr;
}

} // namespace papyrant
