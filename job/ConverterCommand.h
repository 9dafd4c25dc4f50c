#pragma once

#include <string>
#include <vector>

#include "job/CommandComposition.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// One run of the converter as "Apply" hands it to the process start.
struct ConverterCommand {
    /// The command line as composed, for the run log and the preview.
    std::string commandLine;
    /// What the converter receives, the program first.
    std::vector<std::string> arguments;
    /// The tested paths, so that the run can be named after its files.
    std::string inputPath;
    std::string designPath;
};

/// The command line and its arguments. The two file paths are exactly the paths that "Apply"
/// tested, one argument each whatever they hold, each followed by "-+" where its field ended
/// in the marker; every option slot is split on its own as the classic runtime splits, so a
/// quote in one value cannot reach into the next slot, and the marker trails once at the end.
/// For paths without blanks, tabs or quotes the arguments are those of the whole command line
/// split at once.
ConverterCommand composeConverterCommand(const OptionTable& options, const JobFields& fields);

}  // namespace mapfeed
