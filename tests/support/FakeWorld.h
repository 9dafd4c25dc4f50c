#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/Services.h"
#include "app/Window.h"
#include "app/WindowHost.h"

namespace mapfeed::testing {

/// Services and window host that record every call and answer from queues.
class FakeWorld : public Services, public WindowHost {
public:
    std::vector<std::string> events;
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> dialogAnswers;
    std::map<std::string, bool> existing;
    std::map<std::string, std::string> env;
    std::vector<std::string> log;
    std::optional<std::string> logFailure;
    bool startFails = false;
    long nextTask = 1000;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override {
        events.push_back("message " + text);
        MessageAnswer answer = MessageAnswer::Ok;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override {
        events.push_back("file-dialog " + dialog.name + " dir=" + dialog.initialDir);
        std::optional<std::string> answer;
        if (!dialogAnswers.empty()) {
            answer = dialogAnswers.front();
            dialogAnswers.pop_front();
        }
        return answer;
    }
    StartResult startProcess(const ConverterCommand& command) override {
        events.push_back("start " + command.commandLine);
        if (startFails) return {false, 0, "no perl"};
        return {true, nextTask++, {}};
    }
    bool fileExists(const std::string& path) override { return existing.count(path) && existing[path]; }
    FileCheck checkFile(const std::string& path) override {
        return silent.count(path) ? FileCheck::NoAnswer : Services::checkFile(path);
    }
    std::set<std::string> silent;  // paths whose folder does not answer
    std::string environment(const std::string& name) override { return env.count(name) ? env[name] : ""; }
    std::string dateTimeText() override { return "DATE"; }
    std::optional<std::string> appendRunLog(const std::string& record) override {
        if (logFailure) return logFailure;
        log.push_back(record);
        return std::nullopt;
    }
    void quit() override { events.push_back("quit"); }
    std::string currentFolder() override { return "/work"; }
    std::vector<std::string> drives() override { return {"/", "/media/usb"}; }
    std::shared_ptr<const FolderContents> readFolder(const std::string& path) override {
        const auto found = folders.find(path);
        if (found == folders.end()) return nullptr;
        return std::make_shared<FolderContents>(found->second);
    }

    std::map<std::string, FolderContents> folders{{"/work", {}}, {"/", {}}, {"/media/usb", {}}};

    void created(Window& window) override { events.push_back("created " + window.name()); }
    void shown(Window& window) override { events.push_back("show " + window.name()); }
    void hidden(Window& window) override { events.push_back("hide " + window.name()); }
    void discarded(Window& window) override { events.push_back("discard " + window.name()); }
    void focusMoved(Window& window, Control& control) override {
        events.push_back("focus " + window.name() + "." + control.name());
    }
};

}  // namespace mapfeed::testing
