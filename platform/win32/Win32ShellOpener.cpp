#include "platform/win32/Win32ShellOpener.h"

#include "platform/win32/AnsiText.h"

// The system headers need <windows.h> first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace papyrant {

void Win32ShellOpener::openFolder(const std::string& path)
{
    // The folder is the file to open, never part of a command line; a failure shows nothing, and so does a name
    // the code page cannot hold (another folder would open).
    if (const std::optional<std::string> ansi = toAnsi(path))
        ::ShellExecuteA(nullptr, "open", ansi->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace papyrant
