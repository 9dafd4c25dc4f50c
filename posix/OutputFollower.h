#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <string_view>

#include "posix/UniqueFd.h"

namespace mapfeed::posix {

/// Follows the files that converters write their output into, on one thread for the whole
/// program, so that the window only ever takes what has been read. The thread sleeps until a
/// file grows (inotify; without it, a look every 50 ms), reads what is new as fast as it is
/// written, and frees the disk space of what it has read, so that a converter that writes
/// without end never fills TMPDIR while it runs.
class OutputFollower {
public:
    /// New output, on the follower's thread.
    using Sink = std::function<void(std::string_view bytes)>;
    /// Everything the writer wrote until its end has been read; on the follower's thread.
    using Done = std::function<void()>;

    /// The program's follower, its thread started at the first call; nullptr with `error` set
    /// when it cannot be started (a later call tries again).
    static OutputFollower* get(std::string& error);

    /// Follows `file` from its start; returns the id that the other calls take.
    std::uint64_t follow(UniqueFd file, Sink sink, Done done);
    /// The process that writes the file, for `handOver`.
    void setWriter(std::uint64_t id, pid_t pid);
    /// The writer has ended: what the file holds now is read, then `done` is called and the
    /// file let go. What a process it left behind writes later is not read.
    void ended(std::uint64_t id);
    /// Neither `sink` nor `done` is called after this returns (a call under way is waited
    /// for), and the file is let go.
    void forget(std::uint64_t id);
    /// For the end of the program: a small process of its own goes on freeing the disk space
    /// of every file still followed until all their writers have ended.
    void handOver();

    OutputFollower(const OutputFollower&) = delete;
    OutputFollower& operator=(const OutputFollower&) = delete;

private:
    struct Entry {
        std::uint64_t id;
        UniqueFd file;
        Sink sink;
        Done done;
        pid_t writer = 0;      // under mutex_
        off_t endAt = -1;      // under mutex_: the size when the writer ended; -1 while it runs
        std::atomic<bool> forgotten = false;  // set under mutex_; read under calling_ too
        // The thread's own: only it reads the file, and only it erases an entry.
        int watch = -1;        // inotify watch; -1: looked at by the 50 ms sweep
        off_t readTo = 0;
        off_t freedTo = 0;
    };

    OutputFollower(int wake, int inotify) : wake_(wake), inotify_(inotify) {}
    void run();
    /// Reads what is new of one file, a bounded amount, up to `endAt` when the writer has
    /// ended; true when it is done with.
    bool readNew(Entry& entry, off_t endAt);
    /// Calls the entry's sink or done unless it has been forgotten.
    template <typename Call>
    void callUnlessForgotten(Entry& entry, Call call);
    void wake() const;

    const int wake_;     // eventfd: a new file, an end or a forget
    const int inotify_;  // -1 when inotify is not to be had
    // Held for bookkeeping only, never across a read or the freeing of disk space: on a busy
    // disk, freeing waits for the pages to be written out, for seconds, and the window takes
    // this lock when it starts a run.
    std::mutex mutex_;
    std::mutex calling_;  // held while a sink or done is called, so that forget can wait for it
    std::list<Entry> entries_;
    std::uint64_t lastId_ = 0;
};

}  // namespace mapfeed::posix
