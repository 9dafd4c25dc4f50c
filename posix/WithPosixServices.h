#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "posix/PosixServices.h"
#include "ui/Services.h"

namespace mapfeed::posix {

/// `Base`, a set of services, with the ones that need only the operating system (files,
/// folders, the run log, the environment and the clock) answered by `PosixServices`; the
/// program's own services and the tests' recording ones share them this way.
template <class Base>
class WithPosixServices : public Base {
public:
    /// `whileWaiting` as for `PosixServices`.
    explicit WithPosixServices(std::function<void()> whileWaiting = {}) : posix_(std::move(whileWaiting)) {}

    FileCheck checkFile(const std::string& path) override { return posix_.checkFile(path); }
    std::optional<std::string> createEmptyFile(const std::string& path) override { return posix_.createEmptyFile(path); }
    std::string dateTimeText() override { return posix_.dateTimeText(); }
    std::optional<std::string> appendRunLog(const std::string& record) override { return posix_.appendRunLog(record); }
    std::string environment(const std::string& name) override { return posix_.environment(name); }
    std::string currentFolder() override { return posix_.currentFolder(); }
    DriveScan drives() override { return posix_.drives(); }
    FolderRead readFolder(const std::string& path) override { return posix_.readFolder(path); }

protected:
    PosixServices posix_;
};

}  // namespace mapfeed::posix
