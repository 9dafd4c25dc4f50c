#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "runs/RunHistory.h"
#include "ui/Services.h"

namespace mapfeed {

/// Starts the converter and follows its runs: each run's output goes into a file with no name
/// that a thread of its own reads into the run's bounded output, and its end comes from the
/// reaper. What happens is told on the window's thread through the three callbacks.
class RunStarter : public QObject {
public:
    RunStarter();
    ~RunStarter() override;

    /// Starts the command; on success the new run is the newest in the history.
    StartResult start(const ConverterCommand& command);

    RunHistory& history() { return history_; }

    /// Where a design file's elements end before a run, what the run appends starting there;
    /// nothing when that is not known.
    std::function<std::optional<std::uint64_t>(const std::string& path)> designEnd;

    std::function<void(int id)> onStarted;
    /// New output of a run; told once for however many pieces came meanwhile.
    std::function<void(int id)> onOutput;
    std::function<void(int id)> onEnded;

private:
    void outputArrived(int id);
    void runEnded(int id, const RunEnd& end);

    RunHistory history_;
    /// The runs whose output is being followed, with the follower's id for each.
    std::map<int, std::uint64_t> followed_;
    /// The reaper's watch of each running run, so that no end is told after we are gone.
    std::map<int, std::uint64_t> watches_;
};

/// Whether the converter `perl -S` finds on the search path is the one installed with this
/// program (its manual's exit statuses then apply): beside it in the package, or in the source
/// tree that `./run.sh` builds in.
bool isOwnConverter();

}  // namespace mapfeed
