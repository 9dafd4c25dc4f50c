#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "posix/BoundedCalls.h"
#include "posix/FolderReader.h"
#include "ui/Services.h"

namespace mapfeed::posix {

/// The services that need only the operating system: files, the run log in the current
/// folder, the environment, the clock and folder reading. They return what happened; whoever
/// shows windows words it for the user.
///
/// Every look at a file or a folder that the user named runs off the window's thread and is
/// given up after a while (a network share that does not answer).
class PosixServices {
public:
    /// `whileWaiting` is called while the window waits on a file system or on the run log's
    /// lock: the toolkit lets the window paint there, taking no user input.
    explicit PosixServices(std::function<void()> whileWaiting = {});

    FileCheck checkFile(const std::string& path);
    /// An empty file made where nothing stands; why not, also when its folder does not answer.
    std::optional<std::string> createEmptyFile(const std::string& path);
    std::string environment(const std::string& name);
    std::string dateTimeText();
    std::optional<std::string> appendRunLog(const std::string& record);
    std::string currentFolder();
    DriveScan drives();
    FolderRead readFolder(const std::string& path);
    /// The size of a regular file, or nothing (none there, or no answer in time).
    std::optional<std::uint64_t> fileSize(const std::string& path);
    /// Whether a folder answers in time; for the start folder of the open-file dialogs.
    bool folderAnswers(const std::string& folder);
    /// Starts reading the cell names of the library at path on a thread of its own; nothing
    /// while an earlier read of it is still stuck. The names are none for a file that is no
    /// readable cell library.
    std::optional<std::future<std::vector<std::string>>> startReadingCellNames(const std::string& path);
    /// The same, waited for at most the file-system patience (an empty list when it overran).
    std::vector<std::string> cellNames(const std::string& path);

private:
    std::function<void()> whileWaiting_;
    BoundedCalls calls_;
    // Shared with the threads that read folders, which may outlive these services.
    std::shared_ptr<FolderReader> folders_ = std::make_shared<FolderReader>();
};

}  // namespace mapfeed::posix
