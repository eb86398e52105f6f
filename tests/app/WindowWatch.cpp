// window-watch: starts a program on the X display and waits until it maps its first top-level window, as a
// window manager would see it. Prints the milliseconds from the start to the map and the window's title as a
// window manager reads it (_NET_WM_NAME), one a line, then ends the program.
//
//   window-watch [--timeout SECONDS] -- PROGRAM [ARGUMENT...]
//
// Exit code 0 when a window was mapped, 1 when the program ended or the time ran out first, 2 on misuse.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

std::string windowName(xcb_connection_t* connection, xcb_window_t window)
{
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, netWmName, utf8, 0, 4096), nullptr);
    std::string name;
    if (reply) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return name;
}

// Ends the watched program: a polite request first, then for good.
void endProgram(pid_t child)
{
    ::kill(child, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return;
        ::usleep(50'000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char* argv[])
{
    double timeoutSeconds = 30;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--timeout" && first + 1 < argc)
            timeoutSeconds = std::atof(argv[++first]);
        else if (arg == "--") {
            ++first;
            break;
        } else {
            std::fprintf(stderr, "usage: window-watch [--timeout SECONDS] -- PROGRAM [ARGUMENT...]\n");
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "window-watch: no program given\n");
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "window-watch: cannot open the display %s\n", std::getenv("DISPLAY"));
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask));

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (const int error = ::posix_spawnp(&child, argv[first], nullptr, nullptr, argv + first, environ); error != 0) {
        std::fprintf(stderr, "window-watch: cannot start %s: %s\n", argv[first], std::strerror(error));
        return 1;
    }

    std::optional<xcb_window_t> mapped;
    double mappedMs = 0;
    const Clock::time_point deadline
        = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    while (!mapped) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (map->event == root && !map->override_redirect && !mapped) {
                    mappedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                    mapped = map->window;
                }
            }
            std::free(event);
        }
        if (mapped)
            break;
        const bool ended = ::waitpid(child, nullptr, WNOHANG) == child;
        if (ended || xcb_connection_has_error(connection) || Clock::now() > deadline) {
            std::fprintf(stderr, "window-watch: %s mapped no window\n", argv[first]);
            if (!ended)
                endProgram(child);
            xcb_disconnect(connection);
            return 1;
        }
        pollfd display { xcb_get_file_descriptor(connection), POLLIN, 0 };
        ::poll(&display, 1, 20);
    }

    const std::string title = windowName(connection, *mapped);
    endProgram(child);
    xcb_disconnect(connection);
    std::printf("%.1f\n%s\n", mappedMs, title.c_str());
    return 0;
}
