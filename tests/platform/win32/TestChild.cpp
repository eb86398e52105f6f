// A child program for the launcher's tests: does one thing its arguments ask for, then exits.
//   exit N         exits with N (259 included)
//   sleep MS       waits, then exits with 0
//   show FILE      writes the show-window value it was started with, then exits with 0
//   args FILE ...  writes each further argument on a line of its own, then exits with 0
//   lock FILE MS   takes the run lock, writes "held" or "busy" to FILE, waits, then exits without letting go
#include "platform/RunLock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 100;
    const std::string command = argv[1];
    if (command == "exit")
        ::ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (command == "sleep") {
        ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
        return 0;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out)
        return 101;
    if (command == "show") {
        STARTUPINFOA startup {};
        startup.cb = sizeof startup;
        ::GetStartupInfoA(&startup);
        std::fprintf(out, "%d", (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
    } else if (command == "lock" && argc == 4) {
        auto lock = papyrant::tryAcquireRunLock();
        std::fputs(lock ? "held" : "busy", out);
        std::fclose(out);
        ::Sleep(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
        ::ExitProcess(0); // as a crashed run would: the lock is never let go
    } else if (command == "args") {
        for (int i = 3; i < argc; ++i)
            std::fprintf(out, "%s\n", argv[i]);
    }
    std::fclose(out);
    return 0;
}
