#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace papyrant::test {

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The programs' folder: PAPYRANT_BIN_DIR, which every test program starts with.
inline std::filesystem::path binDir()
{
    const char* dir = std::getenv("PAPYRANT_BIN_DIR");
    return dir ? dir : "";
}

// Starts a program (never through a shell) with its stdout and stderr going to `output`; its process id, or -1.
inline pid_t startProgram(const std::vector<std::string>& arguments, const std::filesystem::path& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

// Waits for a program; its exit code, or -1 when it did not exit by itself.
inline int finishProgram(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ProgramEnd
{
    int code; // the exit code, or 128 plus the signal that ended it
    bool inTime; // false: it outlived the limit and was killed
};

// Waits for a program at most `limit`: a hang then fails the test instead of stalling it.
inline ProgramEnd finishProgramWithin(pid_t pid, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    bool inTime = true;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            inTime = false;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return { WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), inTime };
}

// Runs a program to its end with its stdout and stderr in `output`; its exit code.
inline int runProgram(
    const std::vector<std::string>& arguments, std::string& output, const std::filesystem::path& scratch)
{
    const std::filesystem::path log = scratch / "program.log";
    const pid_t pid = startProgram(arguments, log);
    if (pid < 0)
        return -1;
    const int code = finishProgram(pid);
    output = readFile(log);
    return code;
}

} // namespace papyrant::test
