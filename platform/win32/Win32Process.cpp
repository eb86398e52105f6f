#include "platform/Process.h"
#include "platform/ProcessWait.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32ErrorMapping.h"
#include "runtime/RuntimeError.h"
#include "runtime/Yielder.h"

#include <string>
#include <string_view>
#include <windows.h>

namespace papyrant {

namespace {

// The runtime's window styles as show-window values: 6, minimised without focus, is SW_SHOWMINNOACTIVE.
WORD showWindowValue(int style)
{
    switch (style) {
    case 0:
        return SW_HIDE;
    case 1:
        return SW_SHOWNORMAL;
    case 2:
        return SW_SHOWMINIMIZED;
    case 3:
        return SW_SHOWMAXIMIZED;
    case 4:
        return SW_SHOWNOACTIVATE;
    case 5:
        return SW_SHOW;
    default:
        return SW_SHOWMINNOACTIVE;
    }
}

// The runtime's error for a program that did not start: a missing program 53, a missing folder 76, access
// denied 70, anything else (an empty or malformed command line, not a program) 5.
int startErrorNumber(DWORD lastError)
{
    switch (lastError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
        return runtimeErrorFromWin32(lastError, PathKind::File);
    default:
        return err::kInvalidProcedureCall;
    }
}

// The program's part of a command line, by the system's rules for the program name: up to the first blank
// outside double quotes.
std::size_t programPartLength(std::string_view line)
{
    bool quoted = false;
    std::size_t at = line.find_first_not_of(" \t");
    for (; at != std::string_view::npos && at < line.size(); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else if (!quoted && (line[at] == ' ' || line[at] == '\t'))
            return at;
    }
    return line.size();
}

// The word pad's stock registry value names it through a variable ("%ProgramFiles%\Windows NT\..."): the
// program's part gets its %-variables expanded, as the shell would. The arguments are left exactly as given, so
// that a file named "%TEMP%.xml" stays that file.
std::string withProgramExpanded(const std::string& ansiLine)
{
    const std::size_t length = programPartLength(ansiLine);
    const std::string program = ansiLine.substr(0, length);
    if (program.find('%') == std::string::npos)
        return ansiLine;
    const DWORD needed = ::ExpandEnvironmentStringsA(program.c_str(), nullptr, 0);
    if (needed == 0)
        return ansiLine;
    std::string expanded(needed, '\0');
    const DWORD written = ::ExpandEnvironmentStringsA(program.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed)
        return ansiLine;
    expanded.resize(written - 1); // without its closing NUL
    return expanded + ansiLine.substr(length);
}

class Handle
{
public:
    explicit Handle(HANDLE handle = nullptr)
        : m_handle(handle)
    {
    }
    ~Handle()
    {
        if (m_handle)
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const
    {
        return m_handle;
    }

private:
    HANDLE m_handle;
};

} // namespace

std::int32_t ShellAndWait(const std::string& commandLine, std::optional<int> windowStyle, Yielder& yielder)
{
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindowValue(normaliseWindowStyle(windowStyle));
    PROCESS_INFORMATION started {};
    // The system parses the command line itself: no shell sees it. CreateProcessA may write into it. A line the
    // code page cannot hold would name another file (or none): the start fails instead.
    const std::optional<std::string> ansiLine = toAnsi(commandLine);
    if (commandLine.empty() || !ansiLine)
        return startErrorNumber(ERROR_INVALID_PARAMETER) + kObjectErrorBase;
    std::string line = withProgramExpanded(*ansiLine);
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return startErrorNumber(::GetLastError()) + kObjectErrorBase;

    ::CloseHandle(started.hThread);
    // The start's own handle has every right: the wait and the stop request both use it, so the wait cannot end
    // before the child has.
    const Handle child(started.hProcess);
    const HANDLE handle = child.get();
    const auto readExitState = [handle]() -> ExitState {
        // Signalled means ended, whatever exit code it left: a program may well exit with 259 (STILL_ACTIVE).
        const bool ended = ::WaitForSingleObject(handle, 0) != WAIT_TIMEOUT;
        DWORD code = 0;
        ::GetExitCodeProcess(handle, &code);
        return { ended, static_cast<std::int32_t>(code) };
    };
    const auto endProcess = [&child]() -> std::int32_t {
        // The window is closing: the child goes with it.
        ::TerminateProcess(child.get(), 1);
        ::WaitForSingleObject(child.get(), 5000);
        DWORD code = 1;
        ::GetExitCodeProcess(child.get(), &code);
        return static_cast<std::int32_t>(code);
    };
    return waitForProcess(readExitState, endProcess, yielder);
}

} // namespace papyrant
