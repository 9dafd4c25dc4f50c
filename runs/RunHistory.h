#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runs/RunOutput.h"

namespace mapfeed {

/// How a run ended: its exit status, or the signal that ended it with the signal's short name.
struct RunEnd {
    bool bySignal = false;
    int number = 0;
    std::string signalName;
};

enum class RunState { Running, Finished, Failed, Signalled };

/// One start of the converter, from the press of "Apply" to its end.
struct Run {
    int id = 0;
    std::chrono::system_clock::time_point started;
    std::chrono::steady_clock::time_point startedSteady;
    std::optional<std::chrono::steady_clock::time_point> ended;
    std::string inputPath;
    std::string designPath;
    std::string commandLine;
    std::vector<std::string> arguments;
    long taskId = 0;
    /// The converter that ran is the one installed with this program, so its exit statuses
    /// mean what its manual says.
    bool ourConverter = false;
    RunState state = RunState::Running;
    std::optional<RunEnd> end;
    /// Why the output could not be kept (no room for it in TMPDIR); empty when it was.
    std::string outputLost;
    /// Where the design file's elements ended before the run: what the run appended starts
    /// there. Unknown when the file could not be looked at.
    std::optional<std::uint64_t> designEndBefore;
    std::shared_ptr<RunOutput> output = std::make_shared<RunOutput>();
};

/// Every run of this program's life, newest first.
class RunHistory {
public:
    /// Keeps a new run, numbered from 1; the reference holds until the run is cleared.
    Run& add(Run run);
    Run* find(int id);
    /// Takes back a run that could not be started.
    void remove(int id);
    /// The run has ended and all its output is read.
    void ended(int id, const RunEnd& end, std::chrono::steady_clock::time_point when);
    /// Forgets every run that has ended; running ones stay.
    void clearFinished();
    /// Keeps the output of all runs together within `bytes`: the oldest finished runs let go
    /// of theirs first.
    void capOutputs(std::size_t bytes);

    const std::deque<Run>& runs() const { return runs_; }

private:
    std::deque<Run> runs_;
    int lastId_ = 0;
};

/// "running", "finished", "failed", "ended by a signal", and "output lost" beside any of them.
std::string stateText(const Run& run);
/// "exit status 5: design file unusable, ..." (the meaning only for our converter), "signal
/// TERM", or nothing while it runs.
std::string endText(const Run& run);
/// The line the output ends with once the run has ended: "finished (exit status 0: done)",
/// "failed (exit status 5)", "ended by signal TERM".
std::string endLineText(const Run& run);
/// The reason a failed run gives: the converter's last message, else its last line.
std::string reasonText(const Run& run);
/// "0.4 s", "12 s", "3 min 05 s".
std::string durationText(std::chrono::steady_clock::duration duration);
/// "in.gen → out.dgn": the files' own names, without their folders.
std::string filesText(const Run& run);
/// The local start time, "14:03:27".
std::string startText(const Run& run);

}  // namespace mapfeed
