#pragma once

#include <memory>

namespace papyrant {

// The desktop's session bus, connected on a thread of its own. The toolkit's accessibility bridge connects to it
// when the first control reports a change, which the window's controls do while they are made, and it waits for
// the connection's round trips on the main thread. Started as soon as the application exists, the connection is
// made while the window is built, and the bridge finds it ready. Destroying the object waits for the thread.
class SessionBusWarmUp
{
public:
    virtual ~SessionBusWarmUp() = default;
};

// Nothing (and nothing returned) where the desktop has no session bus, or no thread can be had.
std::unique_ptr<SessionBusWarmUp> startSessionBusWarmUp();

} // namespace papyrant
