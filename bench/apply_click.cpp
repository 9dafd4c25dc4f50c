// How long "Apply" takes from the click to the run log's record on disk, with a converter that
// ends at once, against the floor: starting the same program with the same arguments through a
// bare posix_spawnp.
//
//   apply_click FOLDER STAND_IN [google-benchmark flags]
//
// The work folder is made in FOLDER, and the run log is written there: the record is synced to
// disk before "Apply" returns, so what FOLDER lives on (a disk, tmpfs) decides much of the time.
// STAND_IN is linked as `perl` into a folder put first on PATH, so `perl -S mapfeed.pl …`
// starts it.
//
// Both sides leave the child to a detached thread that waits for it, as the program does: the
// program does not wait for the converter, and neither does the floor, and neither leaves
// zombies behind over the thousands of runs. Between two clicks, with the clock stopped, both
// wait until that thread has reaped the child, so that every click starts on a quiet machine
// rather than racing the last stand-in for the cores.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Application.h"
#include "job/ArgumentSplit.h"
#include "job/RunRecord.h"
#include "posix/PosixServices.h"
#include "tests/support/PosixBackedServices.h"
#include "tests/support/RecordingHost.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

/// The operating system's services; a message box would mean "Apply" refused or failed.
class BenchServices : public mapfeed::testing::PosixBackedServices {
public:
    BenchServices() {
        realStarts = true;
        print = [this](const std::string& line) {
            if (line.rfind("message ", 0) == 0) lastMessage = line;
        };
    }

    pid_t lastPid = 0;
    std::string lastMessage;

protected:
    mapfeed::StartResult started(const mapfeed::ConverterCommand& command) override {
        mapfeed::StartResult start = PosixBackedServices::started(command);
        lastPid = static_cast<pid_t>(start.taskId);
        return start;
    }
};

/// Waits until the child is gone: ended and reaped by the thread that waits for it.
void awaitReaped(pid_t pid) {
    while (pid > 0 && ::kill(pid, 0) == 0) ::usleep(20);
}

constexpr const char* kInput = "in.gen";
constexpr const char* kDesign = "out.dgn";

void fillJob(mapfeed::Application& app) {
    app.mapfeed.InfileTxt.userTypes(kInput);
    app.mapfeed.DgnFileTxt.userTypes(kDesign);
}

/// The lines of the run log: three a record.
std::int64_t logLines() {
    std::ifstream log(mapfeed::kRunLogName, std::ios::binary);
    std::int64_t lines = 0;
    for (std::string line; std::getline(log, line);) lines += !line.empty() && line.back() == '\r';
    return lines;
}

void ApplyClick(benchmark::State& state) {
    BenchServices services;
    mapfeed::testing::RecordingHost host;
    mapfeed::Application app(services, host);
    app.start();
    fillJob(app);
    const std::int64_t before = logLines();
    for (auto _ : state) {
        app.mapfeed.ApplyCmd.userClicks();
        state.PauseTiming();
        awaitReaped(services.lastPid);
        state.ResumeTiming();
    }
    if (!services.lastMessage.empty()) {
        state.SkipWithError(("Apply showed a message: " + services.lastMessage).c_str());
        return;
    }
    // Every click must have added its record, or the time measured something else.
    if (logLines() - before != 3 * state.iterations()) state.SkipWithError("a click wrote no record");
}

void reapWhenDone(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

void BareSpawn(benchmark::State& state) {
    // The arguments "Apply" starts, taken from the same model.
    BenchServices services;
    mapfeed::testing::RecordingHost host;
    mapfeed::Application app(services, host);
    app.start();
    fillJob(app);
    std::vector<std::string> args = mapfeed::splitCommandLine(app.mapfeed.previewCommandLine());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawnp(&pid, argv.front(), nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("posix_spawnp failed");
            break;
        }
        reapWhenDone(pid);
        state.PauseTiming();
        awaitReaped(pid);
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(ApplyClick)->Unit(benchmark::kMicrosecond)->MinTime(0.2)->UseRealTime();
BENCHMARK(BareSpawn)->Unit(benchmark::kMicrosecond)->MinTime(0.2)->UseRealTime();

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: apply_click FOLDER STAND_IN [benchmark flags]\n");
        return 2;
    }
    const fs::path standIn = fs::absolute(argv[2]);
    std::string pattern = (fs::path(argv[1]) / "mapfeed-apply.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror(pattern.c_str());
        return 1;
    }
    const fs::path work = fs::absolute(pattern);
    fs::create_directory(work / "bin");
    fs::create_symlink(standIn, work / "bin" / "perl");
    std::ofstream(work / kInput) << "input\n";
    std::ofstream(work / kDesign) << "design\n";
    const char* path = std::getenv("PATH");
    const std::string searchPath = (work / "bin").string() + (path ? ":" + std::string(path) : "");
    ::setenv("PATH", searchPath.c_str(), 1);
    fs::current_path(work);

    argv[2] = argv[0];
    argc -= 2;
    argv += 2;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    // Let the last stand-ins end before their folder goes.
    ::sleep(1);
    fs::current_path("/");
    fs::remove_all(work);
    return 0;
}
