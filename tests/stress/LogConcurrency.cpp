// Four programs press "Apply" 250 times each in one folder, starting a real converter every
// time: the shared run log must end with exactly 1,000 whole records, each record's command
// and pid belonging to the same run; no converter is left a zombie while its program runs,
// and a converter outlives the program that started it.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Application.h"
#include "posix/PosixServices.h"
#include "tests/support/PosixBackedServices.h"
#include "tests/support/RecordingHost.h"

namespace fs = std::filesystem;
using namespace mapfeed;

namespace {

constexpr int kPrograms = 4;
constexpr int kRunsEach = 250;

/// The real services without a screen, starting real converters: every message box is a
/// failure of the test.
struct HeadlessWorld : testing::PosixBackedServices, testing::RecordingHost {
    HeadlessWorld() {
        realStarts = true;
        print = [this](const std::string& line) {
            if (line.rfind("message ", 0) == 0) messages.push_back(line);
        };
    }
    std::vector<std::string> messages;
};

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::size_t filesIn(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
    return n;
}

/// Zombie children of this process, from /proc.
int zombieChildren() {
    int zombies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string stat = read(entry.path() / "stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        if (parent == ::getpid() && state == 'Z') ++zombies;
    }
    return zombies;
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

/// One program: 250 presses of "Apply", each with its own level so that every command is
/// told apart. Exits non-zero on a message box or a zombie.
[[noreturn]] void runProgram(int program) {
    HeadlessWorld services;
    Application app(services, services);
    app.start();
    app.mapfeed.InfileTxt.userTypes("in.gen");
    app.mapfeed.DgnFileTxt.userTypes("out.dgn");
    for (int run = 0; run < kRunsEach; ++run) {
        app.mapfeed.Outlevtxt.userTypes("p" + std::to_string(program) + "r" + std::to_string(run));
        app.mapfeed.ApplyCmd.userClicks();
    }
    // Every converter of this program has ended once its call is recorded; by then, or very
    // soon after, the program must have reaped it.
    const bool reaped = waitUntil([] { return zombieChildren() == 0; }, 30);
    if (!reaped) std::fprintf(stderr, "program %d: zombies left: %d\n", program, zombieChildren());
    for (const std::string& message : services.messages) std::fprintf(stderr, "program %d: %s\n", program, message.c_str());
    std::_Exit(services.messages.empty() && reaped ? 0 : 1);
}

int fail(const std::string& why) {
    std::fprintf(stderr, "log concurrency: FAIL: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/mapfeed-stress-XXXXXX";
    const fs::path work = ::mkdtemp(pattern);
    fs::current_path(work);
    fs::create_directories("bin");
    fs::create_directories("calls");
    std::ofstream("in.gen") << "in";
    std::ofstream("out.dgn") << "out";
    // The converter stand-in: notes its arguments under its pid, last, as one rename.
    std::ofstream("bin/mapfeed.pl") << "use strict;\n"
                                       "sleep($ENV{STUB_SLEEP}) if $ENV{STUB_SLEEP};\n"
                                       "open(my $f, '>', \"calls/$$.part\") or die;\n"
                                       "print $f join(\"\\n\", @ARGV), \"\\n\";\n"
                                       "close($f);\n"
                                       "rename(\"calls/$$.part\", \"calls/$$\") or die;\n";
    fs::permissions("bin/mapfeed.pl", fs::perms::owner_all);  // perl -S runs only executable scripts
    ::setenv("PATH", (work.string() + "/bin:" + std::getenv("PATH")).c_str(), 1);

    const auto start = std::chrono::steady_clock::now();
    std::vector<pid_t> programs;
    for (int program = 0; program < kPrograms; ++program) {
        const pid_t pid = ::fork();
        if (pid == 0) runProgram(program);
        programs.push_back(pid);
    }
    int failed = 0;
    for (pid_t pid : programs) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failed) return fail(std::to_string(failed) + " program(s) reported a problem");

    constexpr std::size_t kRuns = kPrograms * kRunsEach;
    if (!waitUntil([&] { return filesIn("calls") >= kRuns; }, 60)) return fail("not every converter ran");

    // The log: 1,000 records of three CR LF lines, nothing else.
    const std::string log = read("MapfeedLog.dat");
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < log.size()) {
        const std::size_t end = log.find("\r\n", at);
        if (end == std::string::npos) return fail("the log ends without CR LF");
        lines.push_back(log.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() != 3 * kRuns) return fail("log has " + std::to_string(lines.size()) + " lines");
    std::set<std::string> levels;
    for (std::size_t r = 0; r < kRuns; ++r) {
        const std::string& date = lines[3 * r];
        const std::string& command = lines[3 * r + 1];
        const std::string& result = lines[3 * r + 2];
        if (date.empty() || date.find('\n') != std::string::npos) return fail("bad date line " + date);
        if (command.rfind("perl -S mapfeed.pl -I in.gen -D out.dgn ", 0) != 0) return fail("bad command " + command);
        const std::string prefix = "The returnvalue is: ";
        if (result.rfind(prefix, 0) != 0) return fail("bad result line " + result);
        const std::string pid = result.substr(prefix.size());
        const std::string call = read(fs::path("calls") / pid);
        const std::size_t level = command.find(" -L ");
        if (level == std::string::npos) return fail("no level in " + command);
        const std::string tag = command.substr(level + 4, command.find(' ', level + 4) - level - 4);
        if (call.find("\n-L\n" + tag + "\n") == std::string::npos)
            return fail("record of pid " + pid + " names " + tag + ", its converter was started with:\n" + call);
        levels.insert(tag);
    }
    if (levels.size() != kRuns) return fail("some runs were logged twice");

    // A converter keeps running after the program that started it has ended.
    const pid_t quitter = ::fork();
    if (quitter == 0) {
        ::setenv("STUB_SLEEP", "1", 1);
        HeadlessWorld services;
        Application app(services, services);
        app.start();
        app.mapfeed.InfileTxt.userTypes("in.gen");
        app.mapfeed.DgnFileTxt.userTypes("out.dgn");
        app.mapfeed.Outlevtxt.userTypes("late");
        app.mapfeed.ApplyCmd.userClicks();
        app.mapfeed.CloseCmd.userClicks();
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(quitter, &status, 0);
    if (filesIn("calls") != kRuns) return fail("the late converter finished before its program ended");
    if (!waitUntil([&] { return filesIn("calls") == kRuns + 1; }, 30)) return fail("the converter died with its program");

    fs::current_path("/");
    fs::remove_all(work);
    std::printf("log concurrency: %d programs x %d runs: %zu whole records in %.2f s; no zombies; "
                "a converter outlived its program\n",
                kPrograms, kRunsEach, kRuns, seconds);
    return 0;
}
