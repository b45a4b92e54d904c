// Starts a program on the X display and measures, from outside it, how long it takes to map its
// first top-level window and how much memory it has used at most once that window is up.
//
// The clock starts just before fork and exec, and stops when the X server reports the MapNotify
// of a top-level window whose _NET_WM_PID is the started process: the moment the window is on
// the screen, before its first paint. The probe watches the root window for these events from
// before the fork, so no map can be missed. After the settle time (in which the program paints
// its window), the peak resident set, VmHWM from /proc/PID/status, is read and the program
// ended.
//
// Prints one line: MAP_MILLISECONDS PEAK_KIB
#include <xcb/xcb.h>

#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::chrono::seconds MapTimeout(30);

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};
template<typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeDeleter>;

xcb_atom_t internAtom(xcb_connection_t *connection, std::string_view name)
{
    const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The process id the window's client gave it, if it gave one.
std::optional<std::uint32_t> windowPid(xcb_connection_t *connection, xcb_atom_t pidAtom, xcb_window_t window)
{
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) {
        return std::nullopt;
    }
    std::uint32_t pid = 0;
    std::memcpy(&pid, xcb_get_property_value(reply.get()), sizeof pid);
    return pid;
}

// VmHWM of the process, in KiB, or -1 when it cannot be read.
long peakResidentKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Waits for the MapNotify of a top-level window of the process; false if it never comes.
bool waitForMap(xcb_connection_t *connection, xcb_atom_t pidAtom, pid_t child)
{
    const auto deadline = Clock::now() + MapTimeout;
    pollfd display {xcb_get_file_descriptor(connection), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (const ReplyPointer<xcb_generic_event_t> event {xcb_poll_for_event(connection)}) {
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY) {
                continue;
            }
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event.get());
            if (map->override_redirect == 0
                && windowPid(connection, pidAtom, map->window) == static_cast<std::uint32_t>(child)) {
                return true;
            }
        }
        if (xcb_connection_has_error(connection) != 0 || waitpid(child, nullptr, WNOHANG) == child) {
            return false;
        }
        poll(&display, 1, 100);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    int first = 1;
    int settleMs = 1000;
    if (argc > 2 && std::string_view(argv[1]) == "--settle-ms") {
        settleMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fputs("usage: startup_probe [--settle-ms MS] PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("startup_probe: cannot connect to the X display\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    const ReplyPointer<xcb_generic_error_t> refused(xcb_request_check(
        connection, xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK, &mask)));
    const xcb_atom_t pidAtom = internAtom(connection, "_NET_WM_PID");
    if (refused || pidAtom == XCB_ATOM_NONE) {
        std::fputs("startup_probe: cannot watch the root window\n", stderr);
        return 1;
    }

    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("startup_probe: fork");
        return 1;
    }
    if (child == 0) {
        close(xcb_get_file_descriptor(connection));
        execvp(argv[first], argv + first);
        std::perror("startup_probe: exec");
        _exit(127);
    }
    const bool mapped = waitForMap(connection, pidAtom, child);
    const Milliseconds elapsed = Clock::now() - start;
    long peakKib = -1;
    if (mapped) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        peakKib = peakResidentKib(child);
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    if (!mapped || peakKib < 0) {
        std::fprintf(stderr, "startup_probe: %s never mapped a window\n", argv[first]);
        return 1;
    }
    std::printf("%.2f %ld\n", elapsed.count(), peakKib);
    return 0;
}
