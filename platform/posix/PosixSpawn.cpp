#include "platform/posix/PosixSpawn.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace papyrant {

int spawnProgram(const std::vector<std::string>& arguments, pid_t& pid, int standardOutput)
{
    if (arguments.empty())
        return EINVAL;
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
    if (result == 0 && standardOutput >= 0)
        result = posix_spawn_file_actions_adddup2(&actions, standardOutput, STDOUT_FILENO);
    if (result == 0)
        result = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (result == 0)
        result = posix_spawnattr_setsigdefault(&attributes, &all);
    if (result == 0)
        result = posix_spawnattr_setsigmask(&attributes, &none);
    if (result == 0)
        result = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    if (result == 0)
        result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

int exitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
}

int waitForExit(pid_t pid)
{
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    return result == pid ? exitCodeOf(status) : -1;
}

} // namespace papyrant
