#include "tools/papyrant-convert/ProgressLine.h"

#include "text/Utf8.h"

#include <cmath>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace papyrant {

namespace {

constexpr const char* kEraseToEnd = "\033[K";

std::string duration(double seconds)
{
    const long total = std::lround(seconds);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

// The text cut to at most `columns` characters (not bytes), never inside a character.
std::string cutTo(const std::string& text, std::size_t columns)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (characters == columns)
            return text.substr(0, i);
        i += utf8CharAt(text, i).length;
        ++characters;
    }
    return text;
}

} // namespace

std::string progressText(
    std::size_t done, std::size_t total, double seconds, std::string_view currentFile, std::size_t columns)
{
    char head[96];
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        std::snprintf(head, sizeof head, "%zu/%zu files  %.1f/s  %s left  ", done, total, rate,
            duration(static_cast<double>(total - done) / rate).c_str());
    } else {
        std::snprintf(head, sizeof head, "%zu/%zu files  ", done, total);
    }
    // Control characters of a name would move the cursor: they are shown as "?".
    std::string line = head;
    for (std::size_t i = 0; i < currentFile.size();) {
        const Utf8Char ch = utf8CharAt(currentFile, i);
        if (!ch.valid || ch.codePoint < 0x20 || (ch.codePoint >= 0x7F && ch.codePoint <= 0x9F))
            line += '?';
        else
            line.append(currentFile.substr(i, ch.length));
        i += ch.length;
    }
    return cutTo(line, columns > 1 ? columns - 1 : 1);
}

void ProgressLine::message(const std::string& line)
{
    if (!m_shown.empty())
        m_out << '\r' << kEraseToEnd;
    m_out << line << '\n';
    if (!m_shown.empty())
        m_out << m_shown;
    m_out.flush();
}

void ProgressLine::show(const std::string& text)
{
    if (!m_terminal || text == m_shown)
        return;
    m_shown = text;
    m_out << '\r' << m_shown << kEraseToEnd;
    m_out.flush();
}

void ProgressLine::clear()
{
    if (m_shown.empty())
        return;
    m_out << '\r' << kEraseToEnd;
    m_out.flush();
    m_shown.clear();
}

std::size_t terminalColumns()
{
    winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace papyrant
