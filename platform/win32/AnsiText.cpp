#include "platform/win32/AnsiText.h"

#include "platform/win32/Win32NativePath.h"

#include <limits>
#include <windows.h>

namespace papyrant {

namespace {

std::wstring widen(std::string_view text, UINT codePage)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    const int length = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    if (wideLength > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), wideLength);
    return wide;
}

std::string narrow(std::wstring_view wide, UINT codePage)
{
    if (wide.empty() || wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    const int wideLength = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

std::optional<std::string> toAnsi(std::string_view utf8)
{
    const std::wstring wide = widen(utf8, CP_UTF8);
    if (wide.empty())
        return utf8.empty() ? std::optional<std::string>(std::string()) : std::nullopt; // not UTF-8 at all
    const int wideLength = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(
        CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(
            CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(), length, nullptr, &usedDefault)
            != length
        || usedDefault)
        return std::nullopt;
    // A system that ignores the flag still maps "Ā" to "A": only a text that comes back unchanged is the same name.
    if (widen(ansi, CP_ACP) != wide)
        return std::nullopt;
    return ansi;
}

std::size_t systemTextLength(std::string_view text)
{
    // Only the length counts here; a text with no ANSI form is measured as the system would show it.
    const std::optional<std::string> ansi = toAnsi(text);
    return ansi ? ansi->size() : narrow(widen(text, CP_UTF8), CP_ACP).size();
}

bool systemCanName(std::string_view text)
{
    return toAnsi(text).has_value();
}

std::string fromAnsi(std::string_view ansi)
{
    return narrow(widen(ansi, CP_ACP), CP_UTF8);
}

std::wstring toWide(std::string_view utf8)
{
    return widen(utf8, CP_UTF8);
}

std::string fromWide(std::wstring_view wide)
{
    return narrow(wide, CP_UTF8);
}

} // namespace papyrant
