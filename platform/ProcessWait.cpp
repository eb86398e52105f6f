#include "platform/ProcessWait.h"

#include "platform/Process.h"
#include "runtime/Yielder.h"

namespace papyrant {

namespace {
constexpr int kDefaultWindowStyle = 6; // minimised, without focus
} // namespace

int normaliseWindowStyle(std::optional<int> windowStyle)
{
    if (!windowStyle || *windowStyle < 0 || *windowStyle > 6)
        return kDefaultWindowStyle;
    return *windowStyle;
}

std::int32_t waitForProcess(
    const std::function<ExitState()>& readExitState, const std::function<std::int32_t()>& endProcess, Yielder& yielder)
{
    std::int32_t exitCode = 0;
    while (true) {
        const ExitState state = readExitState();
        if (state.ended)
            exitCode = state.exitCode;
        yielder.yield();
        yielder.pause(kProcessPollInterval);
        if (state.ended)
            return exitCode;
        if (yielder.stopRequested())
            return endProcess();
    }
}

} // namespace papyrant
