#include "posix/OutputFollower.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "posix/ProcessStart.h"

namespace mapfeed::posix {
namespace {

using namespace std::chrono_literals;

// A sink that holds the follower's thread inside it until the test lets it go.
struct HeldSink {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    std::string seen;
    bool done = false;

    void take(std::string_view bytes) {
        std::unique_lock lock(mutex);
        entered = true;
        seen += bytes;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
    }
    bool waitFor(const std::function<bool()>& what) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, what);
    }
    void release() {
        std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
};

UniqueFd outputFileWith(const std::string& text) {
    std::string error;
    UniqueFd file = makeOutputFile(error);
    EXPECT_TRUE(file) << error;
    EXPECT_EQ(static_cast<ssize_t>(text.size()), ::write(file.get(), text.data(), text.size()));
    return file;
}

// The window starts runs and ends them while the follower's thread is busy with another run's
// output (a flood, a slow disk); none of its calls may wait for that.
TEST(OutputFollowerTest, CallsNeverWaitForAReadUnderWay) {
    std::string error;
    OutputFollower* follower = OutputFollower::get(error);
    ASSERT_NE(nullptr, follower) << error;

    HeldSink busy;
    UniqueFd busyFile = outputFileWith("flood\n");
    const UniqueFd busyWriter{::dup(busyFile.get())};
    const auto busyId = follower->follow(
        std::move(busyFile), [&](std::string_view bytes) { busy.take(bytes); }, [] {});
    ASSERT_TRUE(busy.waitFor([&] { return busy.entered; }));

    HeldSink next;
    next.released = true;
    auto calls = std::async(std::launch::async, [&] {
        const auto id = follower->follow(
            outputFileWith("started\n"), [&](std::string_view bytes) { next.take(bytes); },
            [&] {
                std::lock_guard lock(next.mutex);
                next.done = true;
                next.changed.notify_all();
            });
        follower->setWriter(id, ::getpid());
        follower->ended(id);
        follower->setWriter(busyId, ::getpid());
    });
    const bool answered = calls.wait_for(5s) == std::future_status::ready;
    busy.release();
    ASSERT_TRUE(answered) << "follow, setWriter and ended waited for a sink of another file";

    // Once free again, the thread reads the new file to its end.
    EXPECT_TRUE(next.waitFor([&] { return next.done; }));
    EXPECT_EQ("started\n", next.seen);

    // Forgotten, a file's sink is not called again, whatever is written to it.
    ASSERT_EQ(5, ::write(busyWriter.get(), "more\n", 5));
    follower->forget(busyId);
    std::string before;
    {
        std::lock_guard lock(busy.mutex);
        before = busy.seen;
    }
    ASSERT_EQ(5, ::write(busyWriter.get(), "late\n", 5));
    std::this_thread::sleep_for(200ms);
    std::lock_guard lock(busy.mutex);
    EXPECT_EQ(before, busy.seen);
}

}  // namespace
}  // namespace mapfeed::posix
