#pragma once

#include <memory>

#include "app/Services.h"
#include "platform/posix/BoundedCalls.h"
#include "platform/posix/FolderReader.h"

namespace mapfeed::posix {

/// The services that need only the operating system: process start, files, the run log in
/// the current folder, the environment, the clock and folder reading. The toolkit adds the
/// message boxes, the file dialog and the end of the program.
///
/// Every look at a file or a folder that the user named runs off the window's thread and is
/// given up after a while (a network share that does not answer), the user being told.
class PosixServices : public Services {
public:
    PosixServices();

    /// Starts the converter with our own standard output and error.
    StartResult startProcess(const ConverterCommand& command) override;
    FileCheck checkFile(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::string environment(const std::string& name) override;
    std::string dateTimeText() override;
    std::optional<std::string> appendRunLog(const std::string& record) override;
    std::string currentFolder() override;
    std::vector<std::string> drives() override;
    std::shared_ptr<const FolderContents> readFolder(const std::string& path) override;

    /// Whether a folder answers in time; when it does not, the user is told that the file
    /// dialog opens elsewhere. For the start folder of the open-file dialogs.
    bool startFolderAnswers(const std::string& folder);

protected:
    /// Called while the window waits on a file system or on the run log's lock; the toolkit's
    /// services let the window paint here, taking no user input.
    virtual void keepAnswering() {}

    BoundedCalls calls_;

private:
    // Shared with the threads that read folders, which may outlive these services.
    std::shared_ptr<FolderReader> folders_ = std::make_shared<FolderReader>();
};

}  // namespace mapfeed::posix
