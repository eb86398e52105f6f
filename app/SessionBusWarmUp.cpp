#include "app/SessionBusWarmUp.h"

#ifdef PAPYRANT_SESSION_BUS
#include <QDBusConnection>
#include <system_error>
#include <thread>
#endif

namespace papyrant {

#ifdef PAPYRANT_SESSION_BUS
namespace {

class ConnectingThread : public SessionBusWarmUp
{
    // The connection is the toolkit's shared one: whoever asks for it first makes it, later callers get it made.
    std::jthread m_thread { [] { QDBusConnection::sessionBus(); } };
};

} // namespace

std::unique_ptr<SessionBusWarmUp> startSessionBusWarmUp()
{
    try {
        return std::make_unique<ConnectingThread>();
    } catch (const std::system_error&) {
        return nullptr; // the bridge connects on the main thread, as it always could
    }
}
#else
std::unique_ptr<SessionBusWarmUp> startSessionBusWarmUp()
{
    return nullptr;
}
#endif

} // namespace papyrant
