#pragma once

#include "app/Services.h"
#include "platform/posix/FolderReader.h"

namespace mapfeed {

class QtHost;

/// The real services: Qt's message boxes and file dialogs, the POSIX process start, files,
/// log and clock.
class QtServices : public Services {
public:
    explicit QtServices(QtHost& host) : host_(host) {}

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    StartResult startProcess(const std::string& commandLine) override;
    bool fileExists(const std::string& path) override;
    std::string environment(const std::string& name) override;
    std::string dateTimeText() override;
    std::optional<std::string> appendRunLog(const std::string& record) override;
    void quit() override;
    std::string currentFolder() override;
    std::vector<std::string> drives() override;
    std::shared_ptr<const FolderContents> readFolder(const std::string& path) override;

private:
    QtHost& host_;
    posix::FolderReader folders_;
};

}  // namespace mapfeed
