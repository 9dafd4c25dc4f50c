#pragma once

#include "tests/support/RecordingHost.h"
#include "tests/support/RecordingServices.h"

namespace mapfeed::testing {

/// The recording services and window host writing into one list of events, in the order the
/// rules caused them.
struct FakeWorld : RecordingServices, RecordingHost {
    FakeWorld() : RecordingHost([this](const std::string& line) { print(line); }) {}
};

}  // namespace mapfeed::testing
