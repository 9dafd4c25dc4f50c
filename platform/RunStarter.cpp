#include "platform/RunStarter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <atomic>
#include <cstdlib>

#include "posix/ChildReaper.h"
#include "posix/Descriptors.h"
#include "posix/OutputFollower.h"
#include "posix/ProcessStart.h"
#include "posix/SearchPath.h"

namespace mapfeed {

namespace {

// Descriptors left for the run log, the window system, a file dialog and the libraries that
// open files of their own: a start that would eat into them is refused, never half made.
constexpr int kDescriptorReserve = 24;
// All runs' output together; the oldest finished runs let go of theirs first.
constexpr std::size_t kAllOutputBytes = 32u << 20;

RunEnd runEndOf(const posix::ProcessEnd& end) {
    RunEnd run{end.bySignal, end.number, {}};
    if (end.bySignal) {
        // "ended by signal TERM": the name as the reaper words it.
        const std::string described = posix::describeEnd(end);
        const std::size_t blank = described.rfind(' ');
        run.signalName = blank == std::string::npos ? described : described.substr(blank + 1);
    }
    return run;
}

}  // namespace

bool isOwnConverter() {
    const char* path = std::getenv("PATH");
    const auto found = posix::findProgram("mapfeed.pl", posix::cleanSearchPath(path ? path : ""));
    if (!found) return false;
    const QString converter = QFileInfo(QString::fromStdString(*found)).canonicalFilePath();
    const QString bin = QCoreApplication::applicationDirPath();
    for (const QString& own : {bin + QStringLiteral("/../share/mapfeed/mapfeed.pl"),
                               bin + QStringLiteral("/../../converter/mapfeed.pl")}) {
        const QString canonical = QFileInfo(own).canonicalFilePath();
        if (!canonical.isEmpty() && canonical == converter) return true;
    }
    return false;
}

RunStarter::RunStarter() = default;

RunStarter::~RunStarter() {
    std::string error;
    if (posix::ChildReaper* reaper = posix::ChildReaper::get(error))
        for (const auto& [id, watch] : watches_) reaper->forget(watch);
    posix::OutputFollower* follower = posix::OutputFollower::get(error);
    if (!follower) return;
    // The converters run on after the program; so that their output cannot fill TMPDIR with
    // nobody reading it, a small process frees it until they end.
    follower->handOver();
    for (const auto& [id, followId] : followed_) follower->forget(followId);
}

StartResult RunStarter::start(const ConverterCommand& command) {
    const int spare = posix::spareDescriptors();
    if (spare < kDescriptorReserve)
        return {false, 0,
                "too many files are open (" + std::to_string(spare) +
                    " more may be opened); wait for running converters to end, then press Apply again"};

    Run made;
    made.started = std::chrono::system_clock::now();
    made.startedSteady = std::chrono::steady_clock::now();
    made.inputPath = command.inputPath;
    made.designPath = command.designPath;
    made.commandLine = command.commandLine;
    made.arguments = command.arguments;
    made.ourConverter = isOwnConverter();
    if (designEnd) made.designEndBefore = designEnd(command.designPath);
    const std::shared_ptr<RunOutput> output = made.output;
    // Numbered before it starts, so that its end can find it; taken back if it does not start.
    const int id = history_.add(std::move(made)).id;

    std::string outputError;
    posix::OutputFollower* follower = posix::OutputFollower::get(outputError);
    if (!follower) outputError = "its output cannot be followed: " + outputError;
    posix::UniqueFd file = follower ? posix::makeOutputFile(outputError) : posix::UniqueFd();
    const int outputFd = file.get();

    // Told on the window's thread; a piece of output that arrives while one is on its way
    // adds nothing to the queue.
    QPointer<RunStarter> self(this);
    const auto pending = std::make_shared<std::atomic<bool>>(false);
    const auto tellOutput = [self, id, pending] {
        if (pending->exchange(true)) return;
        QMetaObject::invokeMethod(self, [self, id, pending] {
            pending->store(false);
            if (self) self->outputArrived(id);
        }, Qt::QueuedConnection);
    };
    const auto end = std::make_shared<RunEnd>();
    const auto tellEnd = [self, id, end] {
        QMetaObject::invokeMethod(self, [self, id, end] { if (self) self->runEnded(id, *end); }, Qt::QueuedConnection);
    };

    std::uint64_t followId = 0;
    if (file) {
        followId = follower->follow(
            std::move(file),
            [output, tellOutput](std::string_view bytes) {
                output->append(bytes);
                tellOutput();
            },
            // The end is told once everything written until then has been read.
            [output, tellOutput, tellEnd] {
                output->finish();
                tellOutput();
                tellEnd();
            });
    }
    posix::ChildReaper::Listener listener = [follower, followId, end, tellEnd](const posix::ProcessEnd& ended) {
        *end = runEndOf(ended);
        if (followId != 0) follower->ended(followId);
        else tellEnd();
    };

    const posix::Spawned spawned = posix::spawnDetached(command.arguments, {outputFd, std::move(listener)});
    if (!spawned.started) {
        if (followId != 0) follower->forget(followId);
        history_.remove(id);
        return {false, 0, spawned.error};
    }
    Run* run = history_.find(id);
    run->taskId = spawned.pid;
    watches_[id] = spawned.watch;
    if (followId != 0) {
        follower->setWriter(followId, static_cast<pid_t>(spawned.pid));
        followed_[id] = followId;
    }
    // No file at all, or one with no room: the run's entry says so.
    run->outputLost = outputError;
    if (onStarted) onStarted(id);
    return {true, spawned.pid, {}};
}

void RunStarter::outputArrived(int id) {
    history_.capOutputs(kAllOutputBytes);
    if (onOutput) onOutput(id);
}

void RunStarter::runEnded(int id, const RunEnd& end) {
    Run* run = history_.find(id);
    if (!run) return;
    history_.ended(id, end, std::chrono::steady_clock::now());
    followed_.erase(id);
    watches_.erase(id);
    if (onEnded) onEnded(id);
}

}  // namespace mapfeed
