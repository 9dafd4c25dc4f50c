#include "tests/runner/ScenarioWorld.h"

#include <ctime>

#include "app/Window.h"
#include "platform/posix/PosixFiles.h"
#include "tests/runner/Transcript.h"

namespace mapfeed::scenario {

MessageAnswer ScenarioWorld::messageBox(const std::string& text, MessageButtons buttons) {
    return answerMessage(text, buttons == MessageButtons::OkCancel);
}

MessageAnswer ScenarioWorld::answerMessage(const std::string& text, bool okCancel) {
    print_("message " + quoted(text) + (okCancel ? " OK/Cancel" : " OK"));
    MessageAnswer answer = MessageAnswer::Ok;
    if (!messageAnswers.empty()) {
        answer = messageAnswers.front();
        messageAnswers.pop_front();
    }
    if (!okCancel) answer = MessageAnswer::Ok;
    print_(answer == MessageAnswer::Ok ? "  -> OK" : "  -> Cancel");
    return answer;
}

std::optional<std::string> ScenarioWorld::showOpenFile(const OpenFileDialog& dialog) {
    print_("file-dialog " + dialog.name + " filter=" + quoted(dialog.filter) +
           " index=" + std::to_string(dialog.filterIndex) + " dir=" + quoted(dialog.initialDir) +
           " flags=" + std::to_string(dialog.flags));
    std::optional<std::string> answer;
    if (!dialogAnswers.empty()) {
        answer = dialogAnswers.front();
        dialogAnswers.pop_front();
    }
    print_(answer ? "  -> " + quoted(*answer) : "  -> cancel");
    return answer;
}

StartResult ScenarioWorld::startProcess(const ConverterCommand& command) {
    print_("start " + quoted(command.commandLine));
    bool fail = false;
    if (!startFailures.empty()) {
        fail = startFailures.front();
        startFailures.pop_front();
    }
    if (fail) {
        print_("  -> failed");
        return {false, 0, "\"perl\" was not found on the program search path (PATH)"};
    }
    print_("  -> task " + std::to_string(nextTask_));
    return {true, nextTask_++, {}};
}

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

void ScenarioWorld::quit() {
    if (!quitRequested) print_("quit");
    quitRequested = true;
}

// Only the root: the mounted volumes of the machine that plays a scenario are no part of it.
std::vector<std::string> ScenarioWorld::drives() { return {"/"}; }

void ScenarioWorld::created(Window&) {}

void ScenarioWorld::shown(Window& window) {
    // The main window is shown once, at start, and that is not part of any transcript.
    if (window.name() != "mapfeed") print_("show " + window.name());
}

void ScenarioWorld::hidden(Window& window) { print_("hide " + window.name()); }

void ScenarioWorld::discarded(Window& window) { print_("discard " + window.name()); }

void ScenarioWorld::focusMoved(Window& window, Control& control) {
    print_("focus " + window.name() + "." + control.name());
}

}  // namespace mapfeed::scenario
