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

std::string narrow(const std::wstring& wide, UINT codePage)
{
    if (wide.empty())
        return {};
    const int wideLength = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

std::string toAnsi(std::string_view utf8)
{
    return narrow(widen(utf8, CP_UTF8), CP_ACP);
}

std::size_t systemTextLength(std::string_view text)
{
    return toAnsi(text).size();
}

std::string fromAnsi(std::string_view ansi)
{
    return narrow(widen(ansi, CP_ACP), CP_UTF8);
}

} // namespace papyrant
