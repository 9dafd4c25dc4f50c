#pragma once

#include <functional>
#include <string>

#include "tests/support/PosixBackedServices.h"
#include "tests/support/RecordingHost.h"

namespace mapfeed::scenario {

/// The world a scenario plays in: the recording services and host writing the transcript, on
/// the real files, existence tests and run log of the scenario's folder. Processes are never
/// started, the clock stands still, and only the root is a drive.
class ScenarioWorld : public testing::PosixBackedServices, public testing::RecordingHost {
public:
    explicit ScenarioWorld(std::function<void(const std::string&)> print);

    /// What happens after the last line (windows let go as the program ends) is no part of
    /// the transcript.
    void endTranscript();

    std::string dateTimeText() override;
    /// A transcript tells the end of the program once.
    void quit() override {
        if (!quitRequested) PosixBackedServices::quit();
    }
    // The mounted volumes of the machine that plays a scenario are no part of it.
    DriveScan drives() override { return {{"/"}, {}}; }

    // The main window is shown once, at start, and that is not part of any transcript.
    void shown(Window& window) override;

private:
    bool ended_ = false;
};

}  // namespace mapfeed::scenario
