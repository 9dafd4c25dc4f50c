#include "posix/BoundedCalls.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace mapfeed;

TEST(BoundedCalls, AnOverrunIsLeftBehindAndItsKeyRefusedUntilItEnds) {
    posix::BoundedCalls calls;
    calls.patience = std::chrono::milliseconds(100);
    int waits = 0;
    calls.whileWaiting = [&] { ++waits; };
    auto release = std::make_shared<std::promise<void>>();
    auto released = release->get_future().share();
    const auto stuck = calls.run("share", [released] {
        released.wait();
        return 1;
    });
    EXPECT_FALSE(stuck.value);
    EXPECT_TRUE(stuck.overran);
    EXPECT_GT(waits, 3) << "the window is kept answering";

    const auto again = calls.run("share", [] { return 2; });
    EXPECT_FALSE(again.value) << "no second thread on a share that is stuck";
    EXPECT_FALSE(again.overran) << "refused at once";
    EXPECT_EQ(3, calls.run("elsewhere", [] { return 3; }).value.value_or(0));

    release->set_value();
    std::optional<int> freed;
    for (int i = 0; i < 200 && !freed; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        freed = calls.run("share", [] { return 4; }).value;
    EXPECT_EQ(4, freed.value_or(0));
}
