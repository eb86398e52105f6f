#include "platform/Process.h"
#include "platform/ProcessWait.h"
#include "platform/posix/ErrnoMapping.h"
#include "runtime/RuntimeError.h"
#include "text/CommandLine.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace papyrant {

namespace {

constexpr std::chrono::milliseconds kTerminateGrace { 500 };
constexpr std::chrono::milliseconds kTerminateCheck { 10 };

std::int32_t exitCodeOf(int status)
{
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

// The runtime error of a program that could not be started.
int startErrorFromErrno(int errnoValue)
{
    if (errnoValue == ENOEXEC || errnoValue == EINVAL)
        return err::kInvalidProcedureCall;
    return runtimeErrorFromErrno(errnoValue, PathKind::File);
}

// Starts the program with stdin from /dev/null and every signal at its default; the error number when it
// cannot be started. posix_spawn reports a failed exec itself, so no start failure goes unnoticed.
int spawnProgram(const std::vector<std::string>& arguments, pid_t& pid)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return ENOMEM;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return ENOMEM;
    }
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    int result = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (result == 0)
        result = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (result == 0)
        result = posix_spawnattr_setsigdefault(&attributes, &all);
    if (result == 0)
        result = posix_spawnattr_setsigmask(&attributes, &none);
    if (result == 0)
        result = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    // A name with a "/" is used as it stands; a bare name is looked up on PATH.
    if (result == 0)
        result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result;
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
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    return result == pid ? exitCodeOf(status) : 128 + SIGKILL;
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
