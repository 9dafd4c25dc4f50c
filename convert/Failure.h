#pragma once
// The end of a run that fails: its exit status and its one-line message.
#include <stdexcept>
#include <string>

namespace convert {

/// Exit statuses, as the converter's README lists them.
enum ExitStatus : int {
    kDone = 0,
    kUsage = 2,         ///< bad command line
    kSubstituted = 3,   ///< done, with substitutions reported
    kInput = 4,         ///< input or cell library not supported or malformed
    kDesign = 5,        ///< design file unusable, locked too long, or a coordinate outside its plane
    kInternal = 70,     ///< a fault of the converter itself
};

struct Failure : std::runtime_error {
    Failure(int status, const std::string& message) : std::runtime_error(message), status(status) {}
    int status;
};

}  // namespace convert
