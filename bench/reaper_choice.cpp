// Three ways of collecting the converters the program starts, measured side by side:
//   - a thread per child, blocked in waitpid (what the program did before);
//   - one reaper thread for the whole program, polling a pidfd per child (what it does now);
//   - one thread sweeping every 50 ms with waitpid(WNOHANG).
// For each: what the hand-over costs the thread that clicked "Apply" (after posix_spawnp, the
// same for all), how long after the start the child is collected and its end known, and how
// many threads 20 running children hold. The floor of the latency is the caller itself waiting
// in waitpid, which is the child's own run.
//
//   reaper_choice STAND_IN [STARTS]
//
// STAND_IN is a program that ends at once (bench/exit_at_once).

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "posix/ChildReaper.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

pid_t spawn(const char* program) {
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror(program);
        std::exit(1);
    }
    return pid;
}

int threads() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0) return std::atoi(line.c_str() + 8);
    return -1;
}

/// One way of collecting: hands a started child over, tells when it was collected.
struct Way {
    const char* name;
    virtual ~Way() = default;
    virtual void handOver(pid_t pid, std::atomic<Clock::time_point::rep>* collectedAt) = 0;
};

void stamp(std::atomic<Clock::time_point::rep>* at) { at->store(Clock::now().time_since_epoch().count()); }

struct ThreadPerChild : Way {
    ThreadPerChild() { name = "a thread per child, waitpid"; }
    void handOver(pid_t pid, std::atomic<Clock::time_point::rep>* at) override {
        std::thread([pid, at] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            stamp(at);
        }).detach();
    }
};

struct OneReaper : Way {
    mapfeed::posix::ChildReaper* reaper;
    OneReaper() {
        name = "one reaper thread, a pidfd per child";
        std::string error;
        reaper = mapfeed::posix::ChildReaper::get(error);
        if (!reaper) std::exit(1);
    }
    void handOver(pid_t pid, std::atomic<Clock::time_point::rep>* at) override {
        // In the program the watch is prepared before the start; it is timed here all the same.
        reaper->adopt(reaper->prepare([at](const mapfeed::posix::ProcessEnd&) { stamp(at); }), pid);
    }
};

struct Sweeps : Way {
    std::mutex mutex;
    std::vector<std::pair<pid_t, std::atomic<Clock::time_point::rep>*>> children;
    Sweeps() {
        name = "one thread sweeping every 50 ms, WNOHANG";
        std::thread([this] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                std::lock_guard lock(mutex);
                std::erase_if(children, [](const auto& child) {
                    int status = 0;
                    if (::waitpid(child.first, &status, WNOHANG) == 0) return false;
                    stamp(child.second);
                    return true;
                });
            }
        }).detach();
    }
    void handOver(pid_t pid, std::atomic<Clock::time_point::rep>* at) override {
        std::lock_guard lock(mutex);
        children.emplace_back(pid, at);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: reaper_choice STAND_IN [STARTS]\n");
        return 2;
    }
    const char* standIn = argv[1];
    const int starts = argc > 2 ? std::atoi(argv[2]) : 200;

    ThreadPerChild perChild;
    OneReaper reaper;
    Sweeps sweeps;
    Way* ways[] = {&perChild, &reaper, &sweeps};
    std::vector<double> handOver[3], latency[3];
    std::vector<double> floor;
    std::atomic<Clock::time_point::rep> collectedAt;
    // Taking turns, so that a change in the machine's load falls on all alike.
    for (int i = 0; i < starts; ++i) {
        {
            // The floor: the child's own run, waited for by the caller.
            const pid_t pid = spawn(standIn);
            const auto started = Clock::now();
            int status = 0;
            ::waitpid(pid, &status, 0);
            floor.push_back(microseconds(Clock::now() - started));
        }
        for (int w = 0; w < 3; ++w) {
            collectedAt.store(0);
            const pid_t pid = spawn(standIn);
            const auto started = Clock::now();
            ways[w]->handOver(pid, &collectedAt);
            handOver[w].push_back(microseconds(Clock::now() - started));
            while (collectedAt.load() == 0) std::this_thread::sleep_for(std::chrono::microseconds(20));
            latency[w].push_back(microseconds(Clock::time_point(Clock::duration(collectedAt.load())) - started));
        }
    }

    // Threads held while 20 children run (each sleeps a second).
    int held[3];
    for (int w = 0; w < 3; ++w) {
        const int before = threads();
        std::vector<std::atomic<Clock::time_point::rep>> ends(20);
        for (auto& end : ends) {
            end.store(0);
            char* sleepArgv[] = {const_cast<char*>("sleep"), const_cast<char*>("1"), nullptr};
            pid_t pid = 0;
            ::posix_spawnp(&pid, "sleep", nullptr, nullptr, sleepArgv, environ);
            ways[w]->handOver(pid, &end);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        held[w] = threads() - before;
        for (auto& end : ends)
            while (end.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    std::printf("%-42s %14s %18s %16s\n", "collecting the converters", "hand-over (us)", "start to end (us)",
                "threads for 20");
    std::printf("%-42s %14s %18.1f %16s\n", "floor: the caller waits in waitpid", "-", median(floor), "-");
    for (int w = 0; w < 3; ++w)
        std::printf("%-42s %14.2f %18.1f %16d\n", ways[w]->name, median(handOver[w]), median(latency[w]), held[w]);
    std::printf("medians of %d starts each of %s, taking turns\n", starts, standIn);
    return 0;
}
