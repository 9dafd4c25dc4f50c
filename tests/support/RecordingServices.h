#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/Services.h"

namespace mapfeed::testing {

/// The services of every test: each call a user would notice is written as the scenario
/// transcript writes it, answers come from queues, and files, folders, the environment and the
/// run log are kept in memory. A test that needs one other behaviour overrides that call.
class RecordingServices : public Services {
public:
    /// Where each line goes; by default to `events`.
    std::function<void(const std::string&)> print = [this](const std::string& line) { events.push_back(line); };
    std::vector<std::string> events;

    // Answers, first in, first out; an empty queue answers OK, cancel, a start that works.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<std::string>> dialogAnswers;
    std::deque<bool> startFailures;
    long nextTask = 1000;
    bool quitRequested = false;

    // The world: a path not in `files` is missing; a folder not in `folders` cannot be read.
    std::map<std::string, FileCheck> files;
    std::map<std::string, FolderContents> folders{{"/work", {}}, {"/", {}}, {"/media/usb", {}}};
    DriveScan driveScan{{"/", "/media/usb"}, {}};
    std::string here = "/work";
    std::map<std::string, std::string> env;
    std::vector<std::string> log;
    std::optional<std::string> logFailure;
    /// Cell libraries and the names of their cells; any other path holds none.
    std::map<std::string, std::vector<std::string>> cellLibraries;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    /// Prints a message box and its answer from the queue; a box with one OK button is
    /// answered OK whatever the queue holds.
    MessageAnswer answerMessage(const std::string& text, bool okCancel);
    /// Prints an open-file dialog as asked for, and takes its answer from the queue.
    std::optional<std::string> answerFileDialog(const std::string& name, const OpenFileDialog& asked);
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    /// Adds the file to `files` when it is not there.
    std::optional<std::string> createEmptyFile(const std::string& path) override;
    StartResult startProcess(const ConverterCommand& command) override;
    FileCheck checkFile(const std::string& path) override;
    std::string dateTimeText() override { return "DATE"; }
    std::optional<std::string> appendRunLog(const std::string& record) override;
    std::string environment(const std::string& name) override;
    void quit() override;
    std::string currentFolder() override { return here; }
    DriveScan drives() override { return driveScan; }
    FolderRead readFolder(const std::string& path) override;
    /// Answers at once.
    void readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) override;

protected:
    /// The start's outcome when it works: a task number of the fake's own.
    virtual StartResult started(const ConverterCommand&) { return {true, nextTask++, {}}; }

    /// The next answer of a queue, or `otherwise` when it is empty.
    template <typename T>
    static T next(std::deque<T>& queue, T otherwise) {
        if (queue.empty()) return otherwise;
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

}  // namespace mapfeed::testing
