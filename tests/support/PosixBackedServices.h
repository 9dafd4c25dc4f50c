#pragma once

#include "posix/WithPosixServices.h"
#include "tests/support/RecordingServices.h"

namespace mapfeed::testing {

/// The recording services with the real files, folders, environment and run log of the
/// operating system, for tests that play on a real folder; with `realStarts` the converter is
/// started for real too.
class PosixBackedServices : public posix::WithPosixServices<RecordingServices> {
public:
    bool realStarts = false;

    void readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) override {
        done(posix_.cellNames(path));
    }

protected:
    StartResult started(const ConverterCommand& command) override;
};

}  // namespace mapfeed::testing
