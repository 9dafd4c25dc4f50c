#include "posix/ChildReaper.h"

#include <poll.h>
#include <sys/eventfd.h>
// glibc 2.36 declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace mapfeed::posix {

namespace {

// How often children without a pidfd are looked at.
constexpr int kSweepMilliseconds = 50;

}  // namespace

ProcessEnd ProcessEnd::fromWaitStatus(int status) {
    if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
    return {false, WEXITSTATUS(status)};
}

std::string describeEnd(const ProcessEnd& end) {
    if (!end.bySignal) return "finished (exit status " + std::to_string(end.number) + ")";
    const char* name = ::sigabbrev_np(end.number);
    return "ended by signal " + (name ? std::string(name) : std::to_string(end.number));
}

ChildReaper::Watch::~Watch() {
    if (pidfd >= 0) ::close(pidfd);
}

ChildReaper* ChildReaper::get(std::string& error) {
    static std::mutex making;
    static ChildReaper* reaper = nullptr;
    static pid_t owner = 0;
    std::lock_guard lock(making);
    // A forked copy of this program has no reaper thread and none of its parent's children:
    // it makes its own. The parent's copy is left alone, its state as the fork found it.
    if (reaper && owner == ::getpid()) return reaper;

    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    // Never destroyed: its thread waits for children until the program ends, and at the end
    // nobody must wait for it.
    auto* made = new ChildReaper(wake);
    try {
        std::thread([made] { made->run(); }).detach();
    } catch (const std::system_error& failure) {
        ::close(wake);
        delete made;
        error = failure.code().message();
        return nullptr;
    }
    reaper = made;
    owner = ::getpid();
    return reaper;
}

std::unique_ptr<ChildReaper::Watch> ChildReaper::prepare(Listener listener) {
    auto watch = std::make_unique<Watch>();
    watch->listener = std::move(listener);
    return watch;
}

std::uint64_t ChildReaper::adopt(std::unique_ptr<Watch> watch, pid_t pid) noexcept {
    watch->pid = pid;
    // If there is no pidfd to be had (no descriptor left), the sweep finds the child instead.
    watch->pidfd = ::pidfd_open(pid, 0);
    std::uint64_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = watch->id = ++lastId_;
        watch->next = children_;
        children_ = watch.release();
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wake_, &one, sizeof one);
    return id;
}

void ChildReaper::forget(std::uint64_t id) noexcept {
    std::lock_guard lock(mutex_);
    for (Watch* watch = children_; watch; watch = watch->next)
        if (watch->id == id) watch->listener = nullptr;
}

void ChildReaper::run() {
    std::vector<pollfd> fds;
    std::vector<Watch*> watched;  // watched[i] waits on fds[i + 1]
    for (;;) {
        bool sweepSome = false;  // children without a pidfd
        bool sweepAll = false;   // no list to poll: every child in turn
        fds.clear();
        watched.clear();
        try {
            fds.push_back({wake_, POLLIN, 0});
            std::lock_guard lock(mutex_);
            for (Watch* watch = children_; watch; watch = watch->next) {
                if (watch->pidfd < 0) {
                    sweepSome = true;
                    continue;
                }
                fds.push_back({watch->pidfd, POLLIN, 0});
                watched.push_back(watch);
            }
        } catch (const std::bad_alloc&) {
            sweepAll = true;
        }

        if (!sweepAll) {
            const int ready = ::poll(fds.data(), fds.size(), sweepSome ? kSweepMilliseconds : -1);
            if (ready < 0 && errno != EINTR) sweepAll = true;
        }
        if (sweepAll) {
            watched.clear();
            ::usleep(kSweepMilliseconds * 1000);
        }
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(wake_, &count, sizeof count);

        // Only this thread takes children off the list, and new ones come in at its head, so
        // every pointer seen here stays good until this thread collects it.
        if (sweepSome || sweepAll) {
            Watch* watch = nullptr;
            {
                std::lock_guard lock(mutex_);
                watch = children_;
            }
            while (watch) {
                Watch* next = watch->next;
                if (sweepAll || watch->pidfd < 0) collect(watch);
                watch = next;
            }
        }
        for (std::size_t i = 0; i < watched.size(); ++i)
            if (fds[i + 1].revents) collect(watched[i]);
    }
}

// Collects the child if it has ended: tells its listener, then lets it go.
void ChildReaper::collect(Watch* watch) noexcept {
    int status = 0;
    pid_t got = 0;
    do {
        got = ::waitpid(watch->pid, &status, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return;  // still running

    std::lock_guard lock(mutex_);
    // ECHILD: collected elsewhere, its end unknown; nobody is told anything false.
    if (got == watch->pid && watch->listener) {
        try {
            watch->listener(ProcessEnd::fromWaitStatus(status));
        } catch (...) {
            // A listener that cannot pass the news on loses it; the child is still collected.
        }
    }
    for (Watch** link = &children_; *link; link = &(*link)->next) {
        if (*link == watch) {
            *link = watch->next;
            break;
        }
    }
    delete watch;
}

}  // namespace mapfeed::posix
