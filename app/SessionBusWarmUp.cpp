#include "app/SessionBusWarmUp.h"

#ifdef PAPYRANT_SESSION_BUS
#include <QDBusConnection>
#include <filesystem>
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
    // Only a bus the session has: named in the environment, or the socket in the runtime folder. Without one,
    // the bus library starts a bus of its own by forking the process from the connecting thread, and here that
    // fork would come while the main thread builds the window. A child forked while another thread allocates
    // can hang before it starts the bus (under AddressSanitizer it did, and the window waited on it for good);
    // the bridge, left to connect by itself, asks for the bus while the main thread waits.
    std::error_code error;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const bool sessionBus = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        || (!runtime.isEmpty()
            && std::filesystem::is_socket(std::filesystem::path(runtime.toStdString()) / "bus", error));
    if (!sessionBus)
        return nullptr;
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
