// Programs killed in the middle of appending to the shared run log: four writers append
// records as fast as they can while writers are killed at random (SIGKILL) and replaced. A
// killed writer may leave its record cut; the next append must end the cut line, so that every
// record written after it stays whole and starts on a line of its own. The log is then read
// back: every record whole, every cut record a single fragment followed by a whole record.
//
//   mapfeed-stress-log-kill [KILLS [SECONDS]]     (default 300 kills, at most 20 s)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "job/RunRecord.h"
#include "posix/PosixFiles.h"

namespace fs = std::filesystem;
using namespace mapfeed;

namespace {

constexpr int kWriters = 4;
const std::string kDate = "01/02/00 03:04:05";
const std::string kHead = "perl -S mapfeed.pl -I w";
const std::string kResult = "The returnvalue is: ";

/// The command of writer `writer`'s record number `sequence`: long enough (4 to 36 KiB) that a
/// kill lands inside its write now and then, and its filler tells it apart from any other.
std::string commandOf(long writer, long sequence) {
    const std::size_t length = 4096 + static_cast<std::size_t>((writer * 7919 + sequence * 104729) % 32768);
    std::string command = kHead + std::to_string(writer) + "-" + std::to_string(sequence) + " -D out.dgn ";
    command.append(length, static_cast<char>('a' + (writer + sequence) % 26));
    return command;
}

[[noreturn]] void write(const std::string& log, long writer) {
    for (long sequence = 0;; ++sequence)
        if (posix::appendRecord(log, formatRunRecord(kDate, commandOf(writer, sequence), sequence))) std::_Exit(3);
}

bool startsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

/// Writer and sequence named by a command line, or false.
bool parseCommand(const std::string& line, long& writer, long& sequence) {
    if (!startsWith(line, kHead)) return false;
    char* end = nullptr;
    writer = std::strtol(line.c_str() + kHead.size(), &end, 10);
    if (*end != '-') return false;
    sequence = std::strtol(end + 1, &end, 10);
    return *end == ' ';
}

/// Whether `line` is the start (or all) of a line that a record may hold at position `which`.
bool couldBeCut(const std::string& line, int which) {
    switch (which) {
        case 0: return startsWith(kDate, line);
        case 1: {
            long writer = 0, sequence = 0;
            if (!parseCommand(line, writer, sequence)) return startsWith(kHead, line);
            return startsWith(commandOf(writer, sequence), line);
        }
        default: return startsWith(line, kResult) || startsWith(kResult, line);
    }
}

int fail(const std::string& why) {
    std::fprintf(stderr, "log kill: FAIL: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::atoi(argv[1]) : 300;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 20;
    char pattern[] = "/tmp/mapfeed-kill-XXXXXX";
    const fs::path work = ::mkdtemp(pattern);
    const std::string log = (work / "MapfeedLog.dat").string();

    std::mt19937 random(std::random_device{}());
    long nextWriter = 0;
    std::vector<pid_t> writers;
    auto spawn = [&] {
        const long writer = nextWriter++;
        const pid_t pid = ::fork();
        if (pid == 0) write(log, writer);
        return pid;
    };
    for (int i = 0; i < kWriters; ++i) writers.push_back(spawn());

    const auto start = std::chrono::steady_clock::now();
    int killed = 0;
    while (killed < kills &&
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        ::usleep(std::uniform_int_distribution<int>(0, 3000)(random));
        pid_t& victim = writers[std::uniform_int_distribution<int>(0, kWriters - 1)(random)];
        ::kill(victim, SIGKILL);
        int status = 0;
        ::waitpid(victim, &status, 0);
        if (WIFEXITED(status)) return fail("a writer failed to append");
        ++killed;
        victim = spawn();
    }
    for (pid_t writer : writers) {
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
    }
    // The last kill may have cut a record that nobody appended after: one more append ends it.
    if (posix::appendRecord(log, formatRunRecord(kDate, commandOf(nextWriter, 0), 0))) return fail("the last append");
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::ifstream in(log, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) return fail("the log does not end with CR LF");
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }

    // Whole records, each possibly after one fragment of a record cut short.
    std::size_t whole = 0, cut = 0;
    std::set<std::pair<long, long>> seen;
    for (std::size_t i = 0; i < lines.size();) {
        long writer = 0, sequence = 0;
        if (i + 2 < lines.size() && lines[i] == kDate && parseCommand(lines[i + 1], writer, sequence) &&
            lines[i + 1] == commandOf(writer, sequence) && lines[i + 2] == kResult + std::to_string(sequence)) {
            if (!seen.insert({writer, sequence}).second) return fail("a record was written twice");
            ++whole;
            i += 3;
            continue;
        }
        // A fragment: the first lines of one record, the last perhaps cut.
        std::size_t length = 0;
        while (length < 3 && i + length < lines.size() && couldBeCut(lines[i + length], static_cast<int>(length))) {
            const bool complete = length == 0 ? lines[i] == kDate : length == 1 && parseCommand(lines[i + 1], writer, sequence) &&
                                                                        lines[i + 1] == commandOf(writer, sequence);
            ++length;
            if (!complete) break;
        }
        if (length == 0)
            return fail("line " + std::to_string(i + 1) + " belongs to no record: \"" + lines[i].substr(0, 80) + "\"");
        ++cut;
        i += length;
    }
    fs::remove_all(work);
    std::printf("log kill: %d writers killed in %.1f s; %zu whole records, %zu cut by a kill, every one "
                "followed by a record on a line of its own\n",
                killed, took, whole, cut);
    return whole > 0 ? 0 : fail("no record was written");
}
