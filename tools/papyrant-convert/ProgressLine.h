#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace papyrant {

// The text of the progress line: files done and total, the rate, the time left and the current file, cut to
// `columns` columns of the terminal (wide and zero-width characters counted as such) so that it never wraps.
std::string progressText(
    std::size_t done, std::size_t total, double seconds, std::string_view currentFile, std::size_t columns);

// Standard error as papyrant-convert writes it: message lines, and on a terminal one progress line under them
// that is redrawn in place (carriage return, then the terminal's erase to the end of the line).
class ProgressLine
{
public:
    ProgressLine(std::ostream& out, bool terminal)
        : m_out(out)
        , m_terminal(terminal)
    {
    }
    ~ProgressLine()
    {
        clear();
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // A message line; the progress line, when shown, is drawn again under it.
    void message(const std::string& line);
    // Does nothing when standard error is not a terminal.
    void show(const std::string& text);
    void clear();

private:
    std::ostream& m_out;
    bool m_terminal;
    std::string m_shown;
};

// The width of the terminal on standard error (80 when it cannot be asked).
std::size_t terminalColumns();

} // namespace papyrant
