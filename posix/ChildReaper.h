#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace mapfeed::posix {

/// How a child process ended: its exit status, or the signal that ended it.
struct ProcessEnd {
    bool bySignal = false;
    int number = 0;

    static ProcessEnd fromWaitStatus(int status);
    bool operator==(const ProcessEnd&) const = default;
};

/// "finished (exit status N)", or "ended by signal NAME" with the name as `kill -l` gives it
/// (KILL, TERM, SEGV); a signal without a name is given by its number.
std::string describeEnd(const ProcessEnd& end);

/// Collects every child that this program starts, so none stays a zombie, and tells whoever
/// asked how each one ended. One thread for the whole program waits on a pidfd per child; a
/// child whose pidfd could not be had is looked at every 50 ms instead. Everything a watch
/// needs is made before the child starts, so that nothing can fail once it runs.
class ChildReaper {
public:
    /// Called on the reaper's thread, once, when the child has ended and been collected.
    using Listener = std::function<void(const ProcessEnd&)>;
    /// One child: made by `prepare`, owned by the reaper from `adopt` until the child is collected.
    struct Watch {
        std::uint64_t id = 0;
        pid_t pid = 0;
        int pidfd = -1;  // readable once the child has ended; -1: looked at by the sweep
        Listener listener;
        Watch* next = nullptr;
        ~Watch();
    };

    /// The program's reaper, its thread started at the first call; nullptr with `error` set
    /// when the thread cannot be started (a later call tries again).
    static ChildReaper* get(std::string& error);

    /// A watch for a child about to start. May throw std::bad_alloc; call it before the start.
    std::unique_ptr<Watch> prepare(Listener listener);
    /// Watches the started child `pid`; returns the id that `forget` takes.
    std::uint64_t adopt(std::unique_ptr<Watch> watch, pid_t pid) noexcept;
    /// The listener of that child is never called after this returns; a call under way is
    /// waited for. The child is still collected.
    void forget(std::uint64_t id) noexcept;

    ChildReaper(const ChildReaper&) = delete;
    ChildReaper& operator=(const ChildReaper&) = delete;

private:
    explicit ChildReaper(int wake) : wake_(wake) {}
    void run();
    void collect(Watch* watch) noexcept;

    const int wake_;  // an eventfd: a new child to wait for
    std::mutex mutex_;
    Watch* children_ = nullptr;  // under mutex_
    std::uint64_t lastId_ = 0;   // under mutex_
};

}  // namespace mapfeed::posix
