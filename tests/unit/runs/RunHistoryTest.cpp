#include "runs/RunHistory.h"

#include <gtest/gtest.h>

using namespace mapfeed;
using namespace std::chrono_literals;

namespace {

Run runOf(const char* input, bool ours = true) {
    Run run;
    run.inputPath = input;
    run.designPath = "/maps/out.dgn";
    run.ourConverter = ours;
    run.startedSteady = std::chrono::steady_clock::time_point{};
    return run;
}

}  // namespace

TEST(RunHistory, NewestFirstAndEachEndToldByStateAndMeaning) {
    RunHistory history;
    const int done = history.add(runOf("/data/a.gen")).id;
    const int bad = history.add(runOf("/data/b.gen")).id;
    const int killed = history.add(runOf("/data/c.gen")).id;
    const int foreign = history.add(runOf("/data/d.gen", false)).id;
    history.find(bad)->output->append("mapfeed.pl: the design file is not 2D\nnothing written\n");
    const auto t = std::chrono::steady_clock::time_point{} + 2500ms;
    history.ended(done, {false, 3, ""}, t);
    history.ended(bad, {false, 5, ""}, t);
    history.ended(killed, {true, 15, "TERM"}, t);
    history.ended(foreign, {false, 5, ""}, t);

    ASSERT_EQ(4u, history.runs().size());
    EXPECT_EQ("d.gen \u2192 out.dgn", filesText(history.runs().front()));
    const mapfeed::Run& a = *history.find(done);
    EXPECT_EQ("finished", stateText(a));
    EXPECT_EQ("exit status 3: done, with substitutions", endText(a));
    const mapfeed::Run& b = *history.find(bad);
    EXPECT_EQ("failed", stateText(b));
    EXPECT_EQ("exit status 5: design file unusable, or a coordinate outside its plane", endText(b));
    EXPECT_EQ("mapfeed.pl: the design file is not 2D", reasonText(b)) << "the converter's message, not its last line";
    EXPECT_EQ("failed (exit status 5: design file unusable, or a coordinate outside its plane)", endLineText(b));
    EXPECT_EQ("ended by a signal", stateText(*history.find(killed)));
    EXPECT_EQ("ended by signal TERM", endLineText(*history.find(killed)));
    EXPECT_EQ("signal TERM", endText(*history.find(killed)));
    EXPECT_EQ("exit status 5", endText(*history.find(foreign))) << "another converter's statuses are its own";
    EXPECT_EQ("2.5 s", durationText(*a.ended - a.startedSteady));
}

TEST(RunHistory, ClearingAndCappingNeverTouchARunningRun) {
    RunHistory history;
    const int old = history.add(runOf("a.gen")).id;
    const int running = history.add(runOf("b.gen")).id;
    history.find(old)->output->append(std::string(100, 'o') + "\n");
    history.find(running)->output->append(std::string(100, 'r') + "\n");
    history.ended(old, {}, {});

    history.capOutputs(150);
    EXPECT_EQ(0u, history.find(old)->output->keptBytes());
    EXPECT_EQ(101u, history.find(running)->output->keptBytes());

    history.clearFinished();
    ASSERT_EQ(1u, history.runs().size());
    EXPECT_EQ(running, history.runs().front().id);
    EXPECT_EQ(3, history.add(runOf("c.gen")).id) << "numbers are never given twice";
}

TEST(RunHistory, DurationsReadAsAPersonWouldSayThem) {
    EXPECT_EQ("0.0 s", durationText(40ms));
    EXPECT_EQ("9.9 s", durationText(9999ms));
    EXPECT_EQ("42 s", durationText(42s));
    EXPECT_EQ("3 min 05 s", durationText(185s));
}
