#include "runs/RunHistory.h"

#include <algorithm>
#include <ctime>

#include "runs/ExitMeaning.h"

namespace mapfeed {

Run& RunHistory::add(Run run) {
    run.id = ++lastId_;
    runs_.push_front(std::move(run));
    return runs_.front();
}

Run* RunHistory::find(int id) {
    const auto run = std::find_if(runs_.begin(), runs_.end(), [id](const Run& r) { return r.id == id; });
    return run == runs_.end() ? nullptr : &*run;
}

void RunHistory::remove(int id) {
    std::erase_if(runs_, [id](const Run& run) { return run.id == id; });
}

void RunHistory::ended(int id, const RunEnd& end, std::chrono::steady_clock::time_point when) {
    Run* run = find(id);
    if (!run) return;
    run->end = end;
    run->ended = when;
    run->state = end.bySignal ? RunState::Signalled : end.number == 0 ? RunState::Finished : RunState::Failed;
    // A status of our converter's table that says "done" is a success even when it is not 0.
    if (!end.bySignal && run->ourConverter && end.number == 3) run->state = RunState::Finished;
}

void RunHistory::clearFinished() {
    std::erase_if(runs_, [](const Run& run) { return run.state != RunState::Running; });
}

void RunHistory::capOutputs(std::size_t bytes) {
    std::size_t total = 0;
    for (const Run& run : runs_) total += run.output->keptBytes();
    // Newest first: the oldest finished runs are at the back.
    for (auto run = runs_.rbegin(); run != runs_.rend() && total > bytes; ++run) {
        if (run->state == RunState::Running) continue;
        total -= std::min(total, run->output->keptBytes());
        run->output->drop();
    }
}

std::string stateText(const Run& run) {
    std::string text;
    switch (run.state) {
        case RunState::Running: text = "running"; break;
        case RunState::Finished: text = "finished"; break;
        case RunState::Failed: text = "failed"; break;
        case RunState::Signalled: text = "ended by a signal"; break;
    }
    if (!run.outputLost.empty()) text += ", output lost";
    return text;
}

std::string endText(const Run& run) {
    if (!run.end) return {};
    if (run.end->bySignal)
        return "signal " + (run.end->signalName.empty() ? std::to_string(run.end->number) : run.end->signalName);
    std::string text = "exit status " + std::to_string(run.end->number);
    if (run.ourConverter)
        if (const std::string_view meaning = converterExitMeaning(run.end->number); !meaning.empty())
            (text += ": ") += meaning;
    return text;
}

std::string endLineText(const Run& run) {
    if (!run.end) return {};
    if (run.end->bySignal) return "ended by " + endText(run);
    return (run.state == RunState::Failed ? "failed (" : "finished (") + endText(run) + ")";
}

std::string reasonText(const Run& run) {
    if (run.state != RunState::Failed && run.state != RunState::Signalled) return {};
    if (std::string message = run.output->lastMessage(); !message.empty()) return message;
    return run.output->lastLine();
}

std::string durationText(std::chrono::steady_clock::duration duration) {
    const auto tenths = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count() / 100;
    if (tenths < 100) return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
    const long long seconds = tenths / 10;
    if (seconds < 60) return std::to_string(seconds) + " s";
    const long long rest = seconds % 60;
    return std::to_string(seconds / 60) + " min " + (rest < 10 ? "0" : "") + std::to_string(rest) + " s";
}

std::string filesText(const Run& run) {
    const auto name = [](const std::string& path) {
        const std::size_t slash = path.find_last_of('/');
        return slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
    };
    return name(run.inputPath) + " \u2192 " + name(run.designPath);
}

std::string startText(const Run& run) {
    const std::time_t time = std::chrono::system_clock::to_time_t(run.started);
    std::tm local{};
    ::localtime_r(&time, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

}  // namespace mapfeed
