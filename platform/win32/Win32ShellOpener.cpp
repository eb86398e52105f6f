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
    // The folder is the file to open, never part of a command line; a failure shows nothing.
    ::ShellExecuteA(nullptr, "open", toAnsi(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace papyrant
