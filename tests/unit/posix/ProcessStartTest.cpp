#include "posix/ProcessStart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <set>
#include <thread>

#include "job/ArgumentSplit.h"
#include "tests/unit/posix/ScratchFolder.h"

namespace fs = std::filesystem;
using namespace mapfeed;
using posix::ProcessEnd;

namespace {

// The process is gone for good: ended and collected, not a zombie.
bool collectedWithin(long pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (::kill(static_cast<pid_t>(pid), 0) == 0)
        if (std::chrono::steady_clock::now() > deadline) return false;
        else std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
        if (got <= 0) return text;
        text.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

class ProcessStart : public ::testing::Test {
protected:
    ProcessStart() {
        char pattern[] = "/tmp/mapfeed-start-XXXXXX";
        tmp = ::mkdtemp(pattern);
        saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", tmp.c_str(), 1);
    }
    ~ProcessStart() override {
        if (saved.empty()) ::unsetenv("TMPDIR");
        else ::setenv("TMPDIR", saved.c_str(), 1);
        fs::remove_all(tmp);
    }

    // Starts `args` with its output in a new output file; its end is told to `end`.
    posix::Spawned start(const std::vector<std::string>& args) {
        std::string error;
        output = posix::makeOutputFile(error);
        EXPECT_TRUE(output) << error;
        auto told = std::make_shared<std::promise<ProcessEnd>>();
        end = told->get_future();
        return posix::spawnDetached(args, {output.get(), [told](const ProcessEnd& e) { told->set_value(e); }});
    }
    // Whether the end was told; a listener let go untold leaves its promise broken.
    bool told() {
        if (end.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) return false;
        try {
            end.get();
            return true;
        } catch (const std::future_error&) {
            return false;
        }
    }
    ProcessEnd awaitEnd() {
        EXPECT_EQ(std::future_status::ready, end.wait_for(std::chrono::seconds(10)));
        return end.get();
    }

    fs::path tmp;
    std::string saved;
    posix::UniqueFd output;
    std::future<ProcessEnd> end;
};

}  // namespace

TEST(ProcessEnd, IsToldInTheRunsWindowsWords) {
    EXPECT_EQ("finished (exit status 0)", posix::describeEnd({false, 0}));
    EXPECT_EQ("finished (exit status 3)", posix::describeEnd({false, 3}));
    EXPECT_EQ("ended by signal KILL", posix::describeEnd({true, SIGKILL}));
    EXPECT_EQ("ended by signal SEGV", posix::describeEnd({true, SIGSEGV}));
}

TEST_F(ProcessStart, OutputAndErrorShareOneFileInOrderAndTheExitStatusIsTold) {
    const auto spawned = start({"sh", "-c", "echo one; echo two >&2; echo three; read x && echo read; exit 3"});
    ASSERT_TRUE(spawned.started) << spawned.error;
    EXPECT_EQ((ProcessEnd{false, 3}), awaitEnd());
    EXPECT_TRUE(collectedWithin(spawned.pid, std::chrono::seconds(5)));
    // Standard input is /dev/null: the read ends at once with nothing.
    EXPECT_EQ("one\ntwo\nthree\n", readAll(output.get()));
    // The file has no name anywhere.
    EXPECT_TRUE(fs::is_empty(tmp));
}

TEST_F(ProcessStart, TheChildHoldsOnlyItsStandardDescriptors) {
    // A descriptor of ours that a careless library left open across exec.
    const int leaky = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    const auto spawned = start({"sleep", "30"});
    ::close(leaky);
    ASSERT_TRUE(spawned.started) << spawned.error;

    const fs::path fds = "/proc/" + std::to_string(spawned.pid) + "/fd";
    std::set<std::string> held;
    for (const auto& entry : fs::directory_iterator(fds)) held.insert(entry.path().filename());
    EXPECT_EQ((std::set<std::string>{"0", "1", "2"}), held);
    EXPECT_EQ("/dev/null", fs::read_symlink(fds / "0").string());
    EXPECT_EQ(fs::read_symlink(fds / "1"), fs::read_symlink(fds / "2"));
    EXPECT_NE(std::string::npos, fs::read_symlink(fds / "1").string().find("(deleted)"));

    ::kill(static_cast<pid_t>(spawned.pid), SIGKILL);
    EXPECT_EQ((ProcessEnd{true, SIGKILL}), awaitEnd());
    EXPECT_TRUE(collectedWithin(spawned.pid, std::chrono::seconds(5)));
}

TEST_F(ProcessStart, AForgottenChildIsStillCollectedButNobodyIsTold) {
    const auto spawned = start({"sleep", "30"});
    ASSERT_TRUE(spawned.started) << spawned.error;
    std::string error;
    posix::ChildReaper::get(error)->forget(spawned.watch);
    ::kill(static_cast<pid_t>(spawned.pid), SIGTERM);
    EXPECT_TRUE(collectedWithin(spawned.pid, std::chrono::seconds(5)));
    EXPECT_FALSE(told());
}

namespace {

// Exits 0 when a start is refused because no thread could be made to wait for it.
[[noreturn]] [[maybe_unused]] void startWithNoRoomForAThread() {
    std::ifstream status("/proc/self/status");
    rlim_t size = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0) size = std::stoull(line.substr(7)) * 1024;
    // Room for the spawn's small stack, none for a thread's 8 MiB.
    const rlimit limit{size + (2 << 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    const auto spawned = posix::spawnDetached({"true"});
    std::_Exit(!spawned.started && spawned.error.find("thread") != std::string::npos ? 0 : 1);
}

}  // namespace

TEST(ChildReaper, AStartThatCouldNotBeWatchedIsNotMade) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address space limit leaves no room for the sanitizer's shadow memory";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, without a reaper yet
    EXPECT_EXIT(startWithNoRoomForAThread(), ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(ProcessStart, AnUnusableTmpdirFallsBackToTmp) {
    ::setenv("TMPDIR", (tmp / "gone").c_str(), 1);
    std::string error;
    EXPECT_TRUE(posix::makeOutputFile(error)) << error;
}

TEST_F(ProcessStart, AFullTmpdirFallsBackToTmpSoThatNothingIsLost) {
    const fs::path full = tmp / "full";
    fs::create_directory(full);
    if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
    std::ofstream(full / "filler") << std::string(256 * 1024, 'x');
    ::setenv("TMPDIR", full.c_str(), 1);
    std::string error;
    const posix::UniqueFd file = posix::makeOutputFile(error);
    const std::string where = fs::read_symlink("/proc/self/fd/" + std::to_string(file.get())).string();
    ::umount2(full.c_str(), MNT_DETACH);
    EXPECT_TRUE(file);
    EXPECT_EQ("", error);
    EXPECT_EQ(0u, where.rfind("/tmp/", 0)) << where;
    EXPECT_NE(0u, where.rfind(full.string(), 0)) << where;
}

TEST_F(ProcessStart, AFailedStartTellsNothingAndLeavesNothing) {
    const auto spawned = start({"no-such-program-mapfeed"});
    EXPECT_FALSE(spawned.started);
    EXPECT_FALSE(told());
    output.reset();
    EXPECT_TRUE(fs::is_empty(tmp));
}

using SpawnTest = mapfeed::testing::ScratchFolder;

TEST_F(SpawnTest, SpawnRunsWithoutAShellAndReportsWhatIsMissing) {
    const std::string marker = path("INJ");
    // Quoted as a user would quote a name with a blank; a shell would run the $( ) and the ;.
    const auto spawned = posix::spawnDetached(splitCommandLine("touch \"" + path("x$(touch INJ)y;touch") + "\""));
    ASSERT_TRUE(spawned.started) << spawned.error;
    EXPECT_GT(spawned.pid, 0);
    for (int i = 0; i < 200 && !fs::exists(path("x$(touch INJ)y;touch")); ++i) ::usleep(10000);
    EXPECT_TRUE(fs::exists(path("x$(touch INJ)y;touch")));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists("INJ"));

    const auto missing = posix::spawnDetached({"no-such-program-mapfeed"});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(std::string::npos, missing.error.find("no-such-program-mapfeed"));
}

TEST_F(SpawnTest, StartFailuresNameTheirReason) {
    const std::string savedPath = std::getenv("PATH");
    ::setenv("PATH", dir.c_str(), 1);  // a folder without perl
    const posix::Spawned noPerl = posix::spawnDetached(splitCommandLine("perl -S mapfeed.pl -I a -D b"));
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_FALSE(noPerl.started);
    EXPECT_NE(std::string::npos, noPerl.error.find("perl")) << noPerl.error;
    EXPECT_NE(std::string::npos, noPerl.error.find("PATH")) << noPerl.error;

    // One argument longer than the system takes (128 KiB on Linux).
    const posix::Spawned tooLong = posix::spawnDetached({"true", std::string(1 << 20, 'x')});
    EXPECT_FALSE(tooLong.started);
    EXPECT_EQ("Argument list too long", tooLong.error);
}
