#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "app/Services.h"
#include "app/WindowHost.h"
#include "platform/posix/PosixServices.h"

namespace mapfeed::scenario {

/// The world a scenario plays in: answers come from queues the scenario fills, processes are
/// never started, the clock stands still, and files, existence tests and the run log are real.
/// Everything a user or the system would see is written to the transcript.
class ScenarioWorld : public posix::PosixServices, public WindowHost {
public:
    explicit ScenarioWorld(std::function<void(const std::string&)> print) : print_(std::move(print)) {}

    /// What happens after the last line (windows let go as the program ends) is no part of
    /// the transcript.
    void endTranscript() {
        print_ = [](const std::string&) {};
    }

    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<std::string>> dialogAnswers;  // nothing: cancel
    std::deque<bool> startFailures;
    bool quitRequested = false;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    /// Prints a message box as the transcript shows it, and its answer from the queue: a box
    /// with one OK button is answered OK whatever the queue holds.
    MessageAnswer answerMessage(const std::string& text, bool okCancel);
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    StartResult startProcess(const ConverterCommand& command) override;
    std::string dateTimeText() override;
    void quit() override;
    std::vector<std::string> drives() override;

    void created(Window& window) override;
    void shown(Window& window) override;
    void hidden(Window& window) override;
    void discarded(Window& window) override;
    void focusMoved(Window& window, Control& control) override;

private:
    std::function<void(const std::string&)> print_;
    long nextTask_ = 1000;
};

}  // namespace mapfeed::scenario
