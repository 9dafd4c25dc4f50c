#include "tests/runner/ScenarioWorld.h"

#include <ctime>

#include "posix/PosixFiles.h"

namespace mapfeed::scenario {

ScenarioWorld::ScenarioWorld(std::function<void(const std::string&)> print)
    : RecordingHost([this](const std::string& line) { this->print(line); }) {
    this->print = [this, print = std::move(print)](const std::string& line) {
        if (!ended_) print(line);
    };
}

void ScenarioWorld::endTranscript() { ended_ = true; }

std::string ScenarioWorld::dateTimeText() {
    std::tm frozen{};
    frozen.tm_year = 100;
    frozen.tm_mon = 0;
    frozen.tm_mday = 2;
    frozen.tm_hour = 3;
    frozen.tm_min = 4;
    frozen.tm_sec = 5;
    frozen.tm_isdst = -1;
    return posix::localDateTimeText(std::mktime(&frozen));
}

void ScenarioWorld::shown(Window& window) {
    if (window.name() != "mapfeed") RecordingHost::shown(window);
}

}  // namespace mapfeed::scenario
