// Asks a window, again and again, the question a window manager asks to tell a program that
// hangs: a _NET_WM_PING, which only the program's own event loop answers (the X server alone
// cannot, unlike a look at the window's name or geometry). On SIGTERM, or after SECONDS, it
// prints the longest wait for an answer, the wait that 99 in 100 pings did not exceed and the
// median, a ping still unanswered counting as long as it waited.
//
//   mapfeed-xping WINDOW-ID SECONDS

#include <poll.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

volatile sig_atomic_t stopped = 0;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    auto* reply = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WINDOW-ID SECONDS\n", argv[0]);
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const double seconds = std::atof(argv[2]);
    struct sigaction stop {};
    stop.sa_handler = [](int) { stopped = 1; };
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "xping: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");
    // The answer is sent to the root window, to whoever listens there.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;  // the mask Qt answers with
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);

    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    double longest = 0;
    long pings = 0;
    std::vector<double> waits;
    for (uint32_t stamp = 1; !stopped && Clock::now() < end; ++stamp) {
        xcb_client_message_event_t question {};
        question.response_type = XCB_CLIENT_MESSAGE;
        question.format = 32;
        question.window = window;
        question.type = protocols;
        question.data.data32[0] = ping;
        question.data.data32[1] = stamp;
        question.data.data32[2] = window;
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&question));
        xcb_flush(connection);
        const auto asked = Clock::now();
        bool answered = false;
        while (!answered && !stopped && Clock::now() < end) {
            pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&readable, 1, 20);
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                    const auto* answer = reinterpret_cast<xcb_client_message_event_t*>(event);
                    // Other client messages to the root window come this way too (a program
                    // asking for the focus); one after the answer must not undo it.
                    answered = answered || (answer->window == root && answer->data.data32[0] == ping &&
                                            answer->data.data32[1] == stamp);
                }
                std::free(event);
            }
            if (xcb_connection_has_error(connection)) {
                std::fprintf(stderr, "xping: the X connection broke\n");
                return 2;
            }
            const double waited = std::chrono::duration<double, std::milli>(Clock::now() - asked).count();
            if (waited > longest) longest = waited;
        }
        pings += answered;
        waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - asked).count());
        if (answered) {
            pollfd none{-1, 0, 0};
            poll(&none, 0, 50);
        }
    }
    std::sort(waits.begin(), waits.end());
    const auto at = [&](std::size_t percent) {
        return waits.empty() ? 0.0 : waits[std::min(waits.size() - 1, waits.size() * percent / 100)];
    };
    std::printf("%.0f ms longest wait, %.1f ms at the 99th percentile, %.1f ms median, %ld pings answered\n", longest,
                at(99), at(50), pings);
    xcb_disconnect(connection);
    return 0;
}
