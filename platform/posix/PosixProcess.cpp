#include "platform/Process.h"
#include "platform/ProcessWait.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/PosixSpawn.h"
#include "runtime/RuntimeError.h"
#include "text/CommandLine.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace papyrant {

namespace {

constexpr std::chrono::milliseconds kTerminateGrace { 500 };
constexpr std::chrono::milliseconds kTerminateCheck { 10 };

// The runtime error of a program that could not be started.
int startErrorFromErrno(int errnoValue)
{
    if (errnoValue == ENOEXEC || errnoValue == EINVAL)
        return err::kInvalidProcedureCall;
    return runtimeErrorFromErrno(errnoValue, PathKind::File);
}

ExitState readExitState(pid_t pid)
{
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0)
        return ExitState { false, 259 };
    if (result == pid)
        return ExitState { true, exitCodeOf(status) };
    // The child is gone without a status for us (reaped elsewhere): nothing more to wait for.
    return ExitState { true, 0 };
}

// Asks the child to end, then ends it, and reaps it so that no zombie is left.
std::int32_t endChild(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (auto waited = std::chrono::milliseconds(0); waited < kTerminateGrace; waited += kTerminateCheck) {
        const ExitState state = readExitState(pid);
        if (state.ended)
            return state.exitCode;
        std::this_thread::sleep_for(kTerminateCheck);
    }
    ::kill(pid, SIGKILL);
    const int exitCode = waitForExit(pid);
    return exitCode >= 0 ? exitCode : 128 + SIGKILL;
}

} // namespace

std::int32_t ShellAndWait(const std::string& commandLine, std::optional<int> windowStyle, Yielder& yielder)
{
    // There are no windows to style here; the style is still taken as the start facility would take it.
    static_cast<void>(normaliseWindowStyle(windowStyle));

    const std::vector<std::string> arguments = ParseCommandLine(commandLine);
    bool wellFormed = !arguments.empty();
    for (const auto& argument : arguments)
        wellFormed = wellFormed && argument.find('\0') == std::string::npos;
    if (!wellFormed)
        return kObjectErrorBase + err::kInvalidProcedureCall;
    if (arguments.front().empty())
        return kObjectErrorBase + err::kFileNotFound;

    pid_t pid = 0;
    if (const int error = spawnProgram(arguments, pid); error != 0)
        return kObjectErrorBase + startErrorFromErrno(error);

    return waitForProcess([pid] { return readExitState(pid); }, [pid] { return endChild(pid); }, yielder);
}

} // namespace papyrant
