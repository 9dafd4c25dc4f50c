#pragma once

#include "posix/PosixServices.h"
#include "tests/support/RecordingServices.h"

namespace mapfeed::testing {

/// The recording services with the real files, folders, environment and run log of the
/// operating system, for tests that play on a real folder; with `realStarts` the converter is
/// started for real too.
class PosixBackedServices : public RecordingServices {
public:
    bool realStarts = false;

    FileCheck checkFile(const std::string& path) override { return posix_.checkFile(path); }
    std::optional<std::string> createEmptyFile(const std::string& path) override { return posix_.createEmptyFile(path); }
    std::string dateTimeText() override { return posix_.dateTimeText(); }
    std::optional<std::string> appendRunLog(const std::string& record) override { return posix_.appendRunLog(record); }
    std::string environment(const std::string& name) override { return posix_.environment(name); }
    std::string currentFolder() override { return posix_.currentFolder(); }
    DriveScan drives() override { return posix_.drives(); }
    FolderRead readFolder(const std::string& path) override { return posix_.readFolder(path); }
    void readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) override {
        done(posix_.cellNames(path));
    }

protected:
    StartResult started(const ConverterCommand& command) override;

    posix::PosixServices posix_;
};

}  // namespace mapfeed::testing
