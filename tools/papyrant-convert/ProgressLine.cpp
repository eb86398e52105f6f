#include "tools/papyrant-convert/ProgressLine.h"

#include "text/Utf8.h"

#include <cmath>
#include <cstdio>
#include <hb.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace papyrant {

namespace {

constexpr const char* kEraseToEnd = "\033[K";
constexpr std::size_t kEchoRoom = 2;

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

// Columns a character takes on a terminal: none for combining marks and format characters, two for the wide
// characters of East Asian scripts (and emoji), one for the rest.
std::size_t columnsOf(char32_t ch)
{
    const hb_unicode_general_category_t category
        = hb_unicode_general_category(hb_unicode_funcs_get_default(), static_cast<hb_codepoint_t>(ch));
    if (category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK
        || category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK || category == HB_UNICODE_GENERAL_CATEGORY_FORMAT
        || (ch >= 0x1160 && ch <= 0x11FF)) // Hangul vowels and final consonants join the syllable before them
        return 0;
    static constexpr std::pair<char32_t, char32_t> kWide[] = {
        { 0x1100, 0x115F },
        { 0x231A, 0x231B },
        { 0x2329, 0x232A },
        { 0x2E80, 0x303E },
        { 0x3041, 0x33FF },
        { 0x3400, 0x4DBF },
        { 0x4E00, 0x9FFF },
        { 0xA000, 0xA4CF },
        { 0xA960, 0xA97F },
        { 0xAC00, 0xD7A3 },
        { 0xF900, 0xFAFF },
        { 0xFE10, 0xFE19 },
        { 0xFE30, 0xFE6F },
        { 0xFF00, 0xFF60 },
        { 0xFFE0, 0xFFE6 },
        { 0x1F300, 0x1F64F },
        { 0x1F900, 0x1F9FF },
        { 0x20000, 0x2FFFD },
        { 0x30000, 0x3FFFD },
    };
    for (const auto& [first, last] : kWide) {
        if (ch < first)
            break;
        if (ch <= last)
            return 2;
    }
    return 1;
}

// The text cut to at most `columns` columns of a terminal, never inside a character; the marks that follow the
// last character kept stay with it.
std::string cutTo(const std::string& text, std::size_t columns)
{
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char ch = utf8CharAt(text, i);
        const std::size_t width = ch.valid ? columnsOf(ch.codePoint) : 1;
        if (used + width > columns)
            return text.substr(0, i);
        used += width;
        i += ch.length;
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
    // Room is left at the end for the terminal's "^C" echo, which would otherwise wrap onto a line of its own.
    return cutTo(line, columns > kEchoRoom + 1 ? columns - kEchoRoom - 1 : 1);
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
