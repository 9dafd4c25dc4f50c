#pragma once

#include <QPointer>
#include <memory>

#include "platform/RunsWindow.h"
#include "posix/WithPosixServices.h"
#include "ui/Services.h"

class QFileDialog;

namespace mapfeed {

class QtHost;
class RunStarter;

/// The real services: Qt's message boxes and file dialogs, the converter's start with its
/// window, and the end of the program; files, log, folders and clock from the operating
/// system's services, which let the window paint while they wait (`WithPosixServices`).
class QtServices : public posix::WithPosixServices<Services> {
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
    // Made at the first start: nothing of them before the first paint.
    std::unique_ptr<RunStarter> runs_;
    QPointer<RunsWindow> window_;
};

}  // namespace mapfeed
