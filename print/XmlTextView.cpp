#include "print/XmlTextView.h"

#include "print/Base64Folding.h"
#include "print/PrintStyle.h"
#include "print/PrintableLines.h"
#include "print/TextDecoder.h"
#include "print/XmlPrettyPrinter.h"
#include "print/XmlTokenizer.h"

#include <array>
#include <optional>
#include <string>

namespace papyrant {

// The last stage: pieces become printable lines, in their syntax's style when colour is asked for. A folded
// run's note keeps its style without colour too, so that it never passes for the file's own text.
class XmlTextView::Output : public XmlPieceSink
{
public:
    Output(PrintableLines& lines, bool colour)
        : m_lines(lines)
    {
        for (std::size_t kind = 0; kind < m_styles.size(); ++kind) {
            const TextStyle style = styleOf(static_cast<XmlPieceKind>(kind));
            m_styles[kind] = colour || style == TextStyle::Folded ? style : TextStyle::Text;
        }
    }

    void piece(const XmlPiece& piece) override
    {
        if (piece.kind == XmlPieceKind::LineBreak)
            m_lines.breakLine(piece.line);
        else
            m_lines.add(piece.text, m_styles[static_cast<std::size_t>(piece.kind)]);
    }

    void end() override { }

private:
    PrintableLines& m_lines;
    // Each kind's style, worked out once: every piece asks.
    std::array<TextStyle, kXmlPieceKinds> m_styles {};
};

class XmlTextView::Stages
{
public:
    Stages(const PrintStyle& style, PrintableLines& lines)
        : output(lines, style.xmlColour)
    {
        XmlPieceSink* next = &output;
        if (style.xmlPretty)
            next = &pretty.emplace(*next);
        if (style.foldBase64 > 0)
            next = &folding.emplace(style.foldBase64, *next);
        tokenizer.emplace(*next);
    }

    Output output;
    std::optional<XmlPrettyPrinter> pretty;
    std::optional<Base64Folding> folding;
    std::optional<XmlTokenizer> tokenizer;
};

XmlTextView::XmlTextView(const PrintStyle& style, PrintableLines& lines)
    : m_stages(std::make_unique<Stages>(style, lines))
{
}

XmlTextView::~XmlTextView() = default;

bool XmlTextView::wanted(const PrintStyle& style)
{
    return style.xmlPretty || style.xmlColour || style.foldBase64 > 0;
}

void XmlTextView::add(std::string_view text)
{
    m_stages->tokenizer->add(text);
}

void XmlTextView::finish()
{
    m_stages->tokenizer->finish();
}

void readStyledText(
    TextDecoder& decoder, const PrintStyle& style, PrintableLines& lines, const std::function<bool()>& keepGoing)
{
    // The plain text goes straight to the lines; only a style that asks for it reads the text as XML.
    std::optional<XmlTextView> view;
    if (XmlTextView::wanted(style))
        view.emplace(style, lines);
    std::string text;
    while (decoder.next(text)) {
        if (view)
            view->add(text);
        else
            lines.add(text);
        text.clear();
        if (!keepGoing())
            break;
    }
    if (view)
        view->finish();
    lines.finish();
}

} // namespace papyrant
