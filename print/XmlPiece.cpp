#include "print/XmlPiece.h"

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
    for (const char c : text) {
        if (c == '\n') {
            if (!m_afterCr)
                ++m_line;
            m_afterCr = false;
        } else if (c == '\r') {
            ++m_line;
            m_afterCr = true;
        } else {
            m_afterCr = false;
        }
    }
}

} // namespace papyrant
