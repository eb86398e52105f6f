#pragma once

#include "runtime/MessageBoxes.h"
#include "runtime/RuntimeError.h"

#include <exception>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace papyrant {

// A command guarded by the standard error report: each numbered step that fails is reported with the command's
// location text and the step number, and the command goes on with its next step.
//
//   GuardedCommand cmd(messages, "Orvantis2021/08/31.Form1.Form_Load");
//   cmd.step(100, [&] { ApplySkin(); });
//   if (cmd.test(102, [&] { return FileExists(cursorPath); }))
//       cmd.step(104, [&] { loadCursor(); });
class GuardedCommand
{
public:
    // Decides what a failure does instead of the standard report; returns true when it took the failure over
    // and the command must end at once.
    using FailureOverride = std::function<bool(const RuntimeError&)>;

    GuardedCommand(MessageBoxes& messages, std::string location)
        : m_messages(messages)
        , m_location(std::move(location))
    {
    }

    void setFailureOverride(FailureOverride handler)
    {
        m_override = std::move(handler);
    }

    // Runs one step; a failure is reported and swallowed. Does nothing once the command has ended.
    template <typename F> void step(int number, F&& action)
    {
        if (m_ended)
            return;
        try {
            std::forward<F>(action)();
        } catch (...) {
            fail(number);
        }
    }

    // The test of a conditional step: a failed test is reported and counts as passed.
    template <typename F> bool test(int number, F&& condition)
    {
        if (m_ended)
            return false;
        try {
            return static_cast<bool>(std::forward<F>(condition)());
        } catch (...) {
            fail(number);
            return !m_ended;
        }
    }

    // A value computed in a step; a failure is reported and the fallback is returned.
    template <typename T, typename F> T value(int number, T fallback, F&& compute)
    {
        if (m_ended)
            return fallback;
        try {
            return std::forward<F>(compute)();
        } catch (...) {
            fail(number);
            return fallback;
        }
    }

    bool ended() const
    {
        return m_ended;
    }
    const std::string& location() const
    {
        return m_location;
    }
    MessageBoxes& messages()
    {
        return m_messages;
    }

private:
    void fail(int number);

    MessageBoxes& m_messages;
    std::string m_location;
    FailureOverride m_override;
    bool m_ended = false;
};

// The location text that a report names for one of the main window's handlers, e.g. "Form_Load" gives
// "Orvantis2021/08/31.Form1.Form_Load".
std::string commandLocation(std::string_view handler);

// The runtime failure that an exception stands for: runtime errors as they are, out of memory as error 7,
// anything else as an internal error.
RuntimeError currentExceptionAsRuntimeError();

} // namespace papyrant
