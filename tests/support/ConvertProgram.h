#pragma once

#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace papyrant::test {

// What the child gets besides its arguments.
struct ConvertSetup
{
    std::string input = "/dev/null"; // standard input, relative to the folder
    std::string output; // standard output, relative to the folder; empty: a file read back as Outcome::output
    rlim_t openFiles = RLIM_INFINITY;
    rlim_t fileSize = RLIM_INFINITY; // the room on the disk, as the largest file the child may write
};

// The real papyrant-convert, run in a folder of its own, never through a shell.
class ConvertProgram
{
public:
    struct Outcome
    {
        int code = -1; // the exit code; 128 + N when killed by signal N
        std::string errors;
        std::string output;
    };
    explicit ConvertProgram(std::filesystem::path folder)
        : m_folder(std::move(folder))
    {
    }

    pid_t start(const std::vector<std::string>& arguments, const ConvertSetup& setup = {}) const
    {
        std::vector<std::string> argv { (binDir() / "papyrant-convert").string() };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& argument : argv)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        const std::string out = (m_folder / ".stdout").string();
        const std::string err = (m_folder / ".stderr").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir(m_folder.c_str()) != 0)
                ::_exit(120);
            const int in = ::open(setup.input.c_str(), O_RDONLY);
            const int outFd
                = ::open(setup.output.empty() ? out.c_str() : setup.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (in < 0 || outFd < 0 || errFd < 0 || ::dup2(in, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0)
                ::_exit(120);
            // Only the three standard descriptors go on: a limit on open files then counts from three.
            ::close_range(3, ~0U, 0);
            if (setup.fileSize != RLIM_INFINITY) {
                ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing the program
                const rlimit limit { setup.fileSize, setup.fileSize };
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            if (setup.openFiles != RLIM_INFINITY) {
                const rlimit limit { setup.openFiles, setup.openFiles };
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            ::execv(pointers[0], pointers.data());
            ::_exit(122);
        }
        return pid;
    }

    // Waits for the child; a child that outlives the limit is killed and fails the test.
    Outcome finish(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(120)) const
    {
        Outcome outcome;
        const ProgramEnd end = finishProgramWithin(pid, limit);
        if (!end.inTime)
            ADD_FAILURE() << "papyrant-convert did not end in time";
        outcome.code = end.code;
        outcome.errors = readFile(m_folder / ".stderr");
        outcome.output = readFile(m_folder / ".stdout");
        return outcome;
    }

    Outcome run(const std::vector<std::string>& arguments, const ConvertSetup& setup = {}) const
    {
        return finish(start(arguments, setup));
    }

private:
    std::filesystem::path m_folder;
};

// A scratch folder with files in it, and papyrant-convert to run there.
struct ConvertScene
{
    TempDir dir;
    ConvertProgram program { dir.path() };

    std::filesystem::path file(const std::filesystem::path& relative, const std::string& bytes)
    {
        const std::filesystem::path path = dir.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string read(const std::filesystem::path& relative) const
    {
        return readFile(dir.path() / relative);
    }
    std::vector<std::string> namesIn(const std::filesystem::path& relative) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / relative))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    ConvertProgram::Outcome run(const std::vector<std::string>& arguments) const
    {
        return program.run(arguments);
    }
};

// A source that no batch finishes before a test stops it, however fast the print-out: `head` as UTF-8 (its
// byte-order mark settles the encoding without reading on), then NULs up to 64 GB, as holes that take no room on
// the disk and half an hour to print. A test that stops a batch puts one among its files, so that the stop always
// comes before the end.
inline void writeEndlessSource(const std::filesystem::path& path, const std::string& head)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "\xEF\xBB\xBF" << head;
    std::filesystem::resize_file(path, std::uintmax_t { 1 } << 36);
}

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace papyrant::test
