#include "convert/Signals.h"

#include <signal.h>

#include "convert/Failure.h"

namespace convert {
namespace {

sigset_t heldSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

void holdSignals() {
    const sigset_t set = heldSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void checkSignals() {
    const sigset_t set = heldSignals();
    sigset_t pending;
    sigpending(&pending);
    if (!sigismember(&pending, SIGHUP) && !sigismember(&pending, SIGINT) && !sigismember(&pending, SIGTERM)) return;
    const timespec now{0, 0};
    const int signal = sigtimedwait(&set, nullptr, &now);
    if (signal <= 0) return;
    const char* name = signal == SIGHUP ? "HUP" : signal == SIGINT ? "INT" : "TERM";
    throw Failure(128 + signal, std::string("ended by signal ") + name);
}

}  // namespace convert
