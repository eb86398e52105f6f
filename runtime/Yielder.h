#pragma once

#include <chrono>

namespace papyrant {

// The yield to the message loop that long commands make at fixed points, and the stop request raised when the
// window is closed while a command is still running.
class Yielder
{
public:
    virtual ~Yielder() = default;
    // Handles the window events that are pending, then returns.
    virtual void yield() = 0;
    // Spends the given time handling window events as they come, instead of blocking.
    virtual void pause(std::chrono::milliseconds duration) = 0;
    virtual bool stopRequested() const = 0;
};

} // namespace papyrant
