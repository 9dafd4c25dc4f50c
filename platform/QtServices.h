#pragma once

#include <QPointer>
#include <memory>

#include "platform/RunsWindow.h"
#include "posix/PosixServices.h"
#include "ui/Services.h"

class QFileDialog;

namespace mapfeed {

class QtHost;
class RunStarter;

/// The real services: Qt's message boxes and file dialogs, the converter's start with its
/// window, and the end of the program; files, log, folders and clock from the operating
/// system's services, which let the window paint while they wait.
class QtServices : public Services {
public:
    explicit QtServices(QtHost& host);
    /// Closes the runs window; the converters run on.
    ~QtServices() override;

    /// Starts the converter and shows the run in the runs window, in front with the focus.
    StartResult startProcess(const ConverterCommand& command) override;
    /// The runs window, once the first run has made it.
    RunsWindow* runsWindow() const { return window_; }

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    void quit() override;

    FileCheck checkFile(const std::string& path) override { return posix_.checkFile(path); }
    std::optional<std::string> createEmptyFile(const std::string& path) override { return posix_.createEmptyFile(path); }
    std::string dateTimeText() override { return posix_.dateTimeText(); }
    std::optional<std::string> appendRunLog(const std::string& record) override { return posix_.appendRunLog(record); }
    std::string environment(const std::string& name) override { return posix_.environment(name); }
    std::string currentFolder() override { return posix_.currentFolder(); }
    DriveScan drives() override { return posix_.drives(); }
    FolderRead readFolder(const std::string& path) override { return posix_.readFolder(path); }
    /// Reads on a thread of its own; the window looks for the answer every few milliseconds
    /// and gives up after the file-system patience (QtCellNames.cpp).
    void readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) override;

private:
    /// Whether the open-file dialog's start folder answers; the user is told when it does not.
    bool folderAnswers(const std::string& folder);
    /// Opens the dialog in the folder of the file a field names, with that file chosen;
    /// false when there is none, or its folder is not there or does not answer.
    bool openOnFieldFile(QFileDialog& dialog, const std::string& fileName);

    QtHost& host_;
    posix::PosixServices posix_;
    // Made at the first start: nothing of them before the first paint.
    std::unique_ptr<RunStarter> runs_;
    QPointer<RunsWindow> window_;
};

}  // namespace mapfeed
