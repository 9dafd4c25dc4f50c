#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/runner/EventDriver.h"

namespace mapfeed::scenario {

/// A line the runner cannot play: unknown command, window or control, missing argument.
struct MalformedLine : std::runtime_error {
    MalformedLine(int line, const std::string& why) : std::runtime_error(why), lineNumber(line) {}
    int lineNumber;
};

/// Plays the lines of a scenario in a fresh temporary folder, which is the current folder while
/// it plays and is removed afterwards, and returns the transcript. Throws MalformedLine; the
/// transcript up to that line is then in `partial`. The events go straight into the model
/// unless another driver is given.
std::string play(const std::vector<std::string>& lines, std::string* partial = nullptr,
                 const DriverFactory& makeDriver = {});

}  // namespace mapfeed::scenario
