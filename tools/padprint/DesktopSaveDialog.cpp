#include "tools/padprint/DesktopSaveDialog.h"

#include "platform/posix/PosixSpawn.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace papyrant {

namespace {

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

struct RunResult
{
    bool started = false;
    int exitCode = -1;
    std::string output;
};

RunResult runCapturingOutput(const std::vector<std::string>& arguments)
{
    RunResult result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return result;
    pid_t pid = 0;
    const int error = spawnProgram(arguments, pid, pipeFds[1]);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        return result;
    }
    result.started = true;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(pipeFds[0], buffer, sizeof buffer);
        if (count > 0)
            result.output.append(buffer, static_cast<std::size_t>(count));
        else if (count == 0 || errno != EINTR)
            break;
    }
    ::close(pipeFds[0]);
    result.exitCode = waitForExit(pid);
    return result;
}

} // namespace

SaveDialogAnswer DesktopSaveDialog::askSaveFileName(const std::string& proposedPath)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland))
        return { SaveDialogAnswer::Kind::Unavailable, {}, "no display to ask for the PDF's file name" };

    std::vector<std::string> command;
    if (onPath("zenity")) {
        command = { "zenity", "--file-selection", "--save", "--title=Save PDF File As" };
        if (!proposedPath.empty())
            command.push_back("--filename=" + proposedPath);
    } else if (onPath("kdialog")) {
        command = { "kdialog", "--title", "Save PDF File As", "--getsavefilename",
            proposedPath.empty() ? std::string(".") : proposedPath, "*.pdf" };
    } else {
        return { SaveDialogAnswer::Kind::Unavailable, {}, "no save dialog (zenity or kdialog) is installed" };
    }

    const RunResult run = runCapturingOutput(command);
    if (!run.started)
        return { SaveDialogAnswer::Kind::Unavailable, {}, "the save dialog " + command[0] + " could not be started" };
    std::string path = run.output;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    if (run.exitCode == 0 && !path.empty())
        return { SaveDialogAnswer::Kind::Chosen, path, {} };
    if (run.exitCode == 0 || run.exitCode == 1)
        return { SaveDialogAnswer::Kind::Cancelled, {}, {} };
    return { SaveDialogAnswer::Kind::Unavailable, {}, "the save dialog " + command[0] + " failed" };
}

} // namespace papyrant
