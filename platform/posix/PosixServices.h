#pragma once

#include "app/Services.h"
#include "platform/posix/FolderReader.h"

namespace mapfeed::posix {

/// The services that need only the operating system: process start, files, the run log in
/// the current folder, the environment, the clock and folder reading. The toolkit adds the
/// message boxes, the file dialog and the end of the program.
class PosixServices : public Services {
public:
    /// Starts the converter with our own standard output and error.
    StartResult startProcess(const ConverterCommand& command) override;
    bool fileExists(const std::string& path) override;
    std::string environment(const std::string& name) override;
    std::string dateTimeText() override;
    std::optional<std::string> appendRunLog(const std::string& record) override;
    std::string currentFolder() override;
    std::vector<std::string> drives() override;
    std::shared_ptr<const FolderContents> readFolder(const std::string& path) override;

private:
    FolderReader folders_;
};

}  // namespace mapfeed::posix
