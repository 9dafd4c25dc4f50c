#include "tests/support/RecordingServices.h"

#include "tests/support/Quoted.h"

namespace mapfeed::testing {

MessageAnswer RecordingServices::messageBox(const std::string& text, MessageButtons buttons) {
    return answerMessage(text, buttons == MessageButtons::OkCancel);
}

MessageAnswer RecordingServices::answerMessage(const std::string& text, bool okCancel) {
    print("message " + quoted(text) + (okCancel ? " OK/Cancel" : " OK"));
    MessageAnswer answer = next(messageAnswers, MessageAnswer::Ok);
    if (!okCancel) answer = MessageAnswer::Ok;
    print(answer == MessageAnswer::Ok ? "  -> OK" : "  -> Cancel");
    return answer;
}

std::optional<std::string> RecordingServices::showOpenFile(const OpenFileDialog& dialog) {
    std::optional<std::string> answer = answerFileDialog(dialog.name, dialog);
    print(answer ? "  -> " + quoted(*answer) : "  -> cancel");
    return answer;
}

std::optional<std::string> RecordingServices::answerFileDialog(const std::string& name, const OpenFileDialog& asked) {
    print("file-dialog " + name + " filter=" + quoted(asked.filter) + " index=" + std::to_string(asked.filterIndex) +
          " dir=" + quoted(asked.initialDir) + " flags=" + std::to_string(asked.flags));
    return next<std::optional<std::string>>(dialogAnswers, std::nullopt);
}

std::optional<std::string> RecordingServices::createEmptyFile(const std::string& path) {
    files.try_emplace(path, FileCheck::Exists);
    return std::nullopt;
}

StartResult RecordingServices::startProcess(const ConverterCommand& command) {
    print("start " + quoted(command.commandLine));
    if (next(startFailures, false)) {
        print("  -> failed");
        return {false, 0, "\"perl\" was not found on the program search path (PATH)"};
    }
    const StartResult start = started(command);
    print(start.started ? "  -> task " + std::to_string(start.taskId) : "  -> failed");
    return start;
}

FileCheck RecordingServices::checkFile(const std::string& path) {
    const auto found = files.find(path);
    return found == files.end() ? FileCheck::Missing : found->second;
}

std::optional<std::string> RecordingServices::appendRunLog(const std::string& record) {
    if (logFailure) return logFailure;
    log.push_back(record);
    return std::nullopt;
}

std::string RecordingServices::environment(const std::string& name) {
    const auto found = env.find(name);
    return found == env.end() ? "" : found->second;
}

void RecordingServices::quit() {
    print("quit");
    quitRequested = true;
}

FolderRead RecordingServices::readFolder(const std::string& path) {
    const auto found = folders.find(path);
    if (found == folders.end()) return {nullptr, FolderFailure::Unreadable};
    return {std::make_shared<FolderContents>(found->second), FolderFailure::None};
}

void RecordingServices::readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) {
    const auto library = cellLibraries.find(path);
    done(library == cellLibraries.end() ? std::vector<std::string>{} : library->second);
}

}  // namespace mapfeed::testing
