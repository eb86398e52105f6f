#pragma once

#include "print/XmlPiece.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace papyrant {

// Folds long base64 runs in element text and CDATA: a run of A-Z a-z 0-9 + / = longer than `threshold`
// characters, line breaks (and the indentation after them) included but not counted, is shown by its first and
// last kShownChars characters as they stand, with a line between them that says how many characters were left
// out. Holds at most the start of a run until it is longer than the threshold, then only its end.
class Base64Folding : public XmlPieceSink
{
public:
    static constexpr std::size_t kShownChars = 64;

    Base64Folding(std::size_t threshold, XmlPieceSink& next);

    void piece(const XmlPiece& piece) override;
    void end() override;

    // "[… 1,234,567 characters of base64 …]"
    static std::string note(std::uint64_t leftOut);

private:
    void addText(const XmlPiece& piece);
    void forward(XmlPieceKind kind, std::string_view text, std::uint64_t line);
    void endRun();
    void trimTail();

    std::size_t m_threshold;
    XmlPieceSink& m_next;
    SourceLineCounter m_lines; // at the end of what has been read
    XmlPieceKind m_kind = XmlPieceKind::Text; // of the run: text or CDATA
    std::string m_run; // the run while it is short; once folded, its end
    std::uint64_t m_runChars = 0;
    std::uint64_t m_runLine = 0; // where the run began; 0: no run
    std::string m_gap; // line breaks and indentation after the run's last character
    bool m_folded = false;
    std::uint64_t m_foldLine = 0; // where the characters left out begin
    SourceLineCounter m_tailLines; // where m_run begins, once folded
};

} // namespace papyrant
