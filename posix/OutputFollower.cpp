#include "posix/OutputFollower.h"

#include <fcntl.h>
#include <linux/falloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

namespace mapfeed::posix {

namespace {

// A look at a file that has not grown is one read that returns nothing.
constexpr int kSweepMilliseconds = 50;
// Read of one file per pass, so that one flood cannot starve the others nor keep forget waiting.
constexpr off_t kBytesPerPass = 4 << 20;
constexpr std::size_t kChunk = 1 << 20;
constexpr off_t kPage = 4096;

void freeSpace(int fd, off_t from, off_t to) {
    // Keeps the size, so that the writer's appends and our offsets stay where they are. A file
    // system that cannot punch holes keeps what was read; it is freed when the run ends.
    if (to > from) ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, from, to - from);
}

/// The drainer left behind at the end of the program: frees what the writers append until all
/// of them have ended. Only calls that are safe after fork() in a threaded process.
[[noreturn]] void drain(const std::vector<int>& files, const std::vector<pid_t>& writers) {
    for (;;) {
        bool anyAlive = false;
        for (pid_t writer : writers)
            if (::kill(writer, 0) == 0 || errno == EPERM) anyAlive = true;
        for (int fd : files) {
            struct stat info {};
            if (::fstat(fd, &info) == 0) freeSpace(fd, 0, info.st_size);
        }
        if (!anyAlive) ::_exit(0);
        const timespec pause{0, 200 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
}

}  // namespace

OutputFollower* OutputFollower::get(std::string& error) {
    static std::mutex made;
    static OutputFollower* follower = nullptr;
    std::lock_guard lock(made);
    if (follower) return follower;
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    // Without inotify the files are looked at every 50 ms instead.
    const int inotify = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    auto* made_ = new OutputFollower(wake, inotify);
    try {
        std::thread([made_] { made_->run(); }).detach();
    } catch (const std::system_error& failure) {
        error = failure.what();
        delete made_;
        ::close(wake);
        if (inotify >= 0) ::close(inotify);
        return nullptr;
    }
    follower = made_;
    return follower;
}

std::uint64_t OutputFollower::follow(UniqueFd file, Sink sink, Done done) {
    std::lock_guard lock(mutex_);
    Entry& entry = entries_.emplace_back();
    entry.id = ++lastId_;
    entry.file = std::move(file);
    entry.sink = std::move(sink);
    entry.done = std::move(done);
    if (inotify_ >= 0) {
        // The file has no name; its descriptor's link in /proc names it for inotify.
        const std::string link = "/proc/self/fd/" + std::to_string(entry.file.get());
        entry.watch = ::inotify_add_watch(inotify_, link.c_str(), IN_MODIFY);
    }
    wake();
    return entry.id;
}

void OutputFollower::setWriter(std::uint64_t id, pid_t pid) {
    std::lock_guard lock(mutex_);
    for (Entry& entry : entries_)
        if (entry.id == id) entry.writer = pid;
}

void OutputFollower::ended(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    for (Entry& entry : entries_) {
        if (entry.id != id) continue;
        struct stat info {};
        entry.endAt = ::fstat(entry.file.get(), &info) == 0 ? info.st_size : 0;
    }
    wake();
}

void OutputFollower::forget(std::uint64_t id) {
    {
        // The thread lets the file go at its next pass: it may be reading it now.
        std::lock_guard lock(mutex_);
        for (Entry& entry : entries_)
            if (entry.id == id) entry.forgotten = true;
    }
    wake();
    // A call that saw the entry before it was forgotten ends before this lock is had; every
    // later one sees it forgotten.
    std::lock_guard calling(calling_);
}

void OutputFollower::handOver() {
    std::vector<int> files;
    std::vector<pid_t> writers;
    {
        std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_) {
            if (entry.endAt >= 0 || entry.writer <= 0) continue;
            files.push_back(entry.file.get());
            writers.push_back(entry.writer);
        }
    }
    if (files.empty()) return;
    std::vector<int> kept = files;
    std::sort(kept.begin(), kept.end());
    const pid_t child = ::fork();
    if (child == 0) {
        // Twice, so that the drainer is nobody's child to wait for, in a session of its own,
        // holding nothing of ours but the output files.
        if (::fork() != 0) ::_exit(0);
        ::setsid();
        unsigned from = 0;
        for (int fd : kept) {
            if (static_cast<unsigned>(fd) > from) ::close_range(from, static_cast<unsigned>(fd) - 1, 0);
            from = static_cast<unsigned>(fd) + 1;
        }
        ::close_range(from, ~0U, 0);
        drain(files, writers);
    }
    if (child > 0)
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
}

void OutputFollower::wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

template <typename Call>
void OutputFollower::callUnlessForgotten(Entry& entry, Call call) {
    std::lock_guard calling(calling_);
    if (!entry.forgotten) call();
}

bool OutputFollower::readNew(Entry& entry, off_t endAt) {
    static thread_local std::vector<char> buffer(kChunk);
    for (off_t budget = kBytesPerPass; budget > 0 && !entry.forgotten;) {
        std::size_t wanted = kChunk;
        if (endAt >= 0) {
            if (entry.readTo >= endAt) break;
            wanted = std::min<std::size_t>(wanted, static_cast<std::size_t>(endAt - entry.readTo));
        }
        const ssize_t got = ::pread(entry.file.get(), buffer.data(), wanted, entry.readTo);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        entry.readTo += got;
        budget -= got;
        callUnlessForgotten(entry, [&] { entry.sink(std::string_view(buffer.data(), static_cast<std::size_t>(got))); });
    }
    const off_t readPages = entry.readTo / kPage * kPage;
    freeSpace(entry.file.get(), entry.freedTo, readPages);
    entry.freedTo = std::max(entry.freedTo, readPages);
    return endAt >= 0 && entry.readTo >= endAt;
}

void OutputFollower::run() {
    bool behind = false;  // some file had more than one pass could read
    for (;;) {
        bool sweep = inotify_ < 0;
        {
            std::lock_guard lock(mutex_);
            for (const Entry& entry : entries_) sweep = sweep || entry.watch < 0;
        }
        pollfd waits[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        ::poll(waits, inotify_ >= 0 ? 2 : 1, behind ? 0 : sweep ? kSweepMilliseconds : -1);
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t got = ::read(wake_, &count, sizeof count);
        if (inotify_ >= 0) {
            // Which file grew is not needed: every file is looked at, one read each.
            alignas(inotify_event) char events[4096];
            while (::read(inotify_, events, sizeof events) > 0) {
            }
        }

        // The entries of this pass and where their writers ended. Only this thread erases
        // entries, so they stay where they are while it reads without the lock.
        std::vector<std::pair<Entry*, off_t>> pass;
        {
            std::lock_guard lock(mutex_);
            for (Entry& entry : entries_) pass.emplace_back(&entry, entry.endAt);
        }
        behind = false;
        std::vector<Entry*> finished;
        for (auto [entry, endAt] : pass) {
            if (entry->forgotten) {
                freeSpace(entry->file.get(), entry->freedTo, entry->readTo);
                finished.push_back(entry);
                continue;
            }
            const off_t before = entry->readTo;
            const bool done = readNew(*entry, endAt);
            behind = behind || entry->readTo - before >= kBytesPerPass;
            if (!done) continue;
            // What a process it left running behind it writes later is no part of the run.
            struct stat info {};
            if (::fstat(entry->file.get(), &info) == 0) freeSpace(entry->file.get(), entry->freedTo, info.st_size);
            if (entry->done) callUnlessForgotten(*entry, [&] { entry->done(); });
            finished.push_back(entry);
        }
        if (finished.empty()) continue;
        std::lock_guard lock(mutex_);
        for (Entry* entry : finished)
            if (entry->watch >= 0) ::inotify_rm_watch(inotify_, entry->watch);
        entries_.remove_if([&](const Entry& entry) { return std::find(finished.begin(), finished.end(), &entry) != finished.end(); });
    }
}

}  // namespace mapfeed::posix
