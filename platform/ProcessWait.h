#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace papyrant {

class Yielder;

// What one look at a child process found.
struct ExitState
{
    bool ended = false;
    std::int32_t exitCode = 0; // meaningful once ended
};

inline constexpr std::chrono::milliseconds kProcessPollInterval { 100 };

// The wait of ShellAndWait, the same on every platform: read the exit state, yield, pause 100 ms; stop after the
// pass whose read found the process ended, whatever its exit code (259 included). A stop request ends the
// process through endProcess, which returns its exit code. The result is the last exit code read.
std::int32_t waitForProcess(
    const std::function<ExitState()>& readExitState, const std::function<std::int32_t()>& endProcess, Yielder& yielder);

} // namespace papyrant
