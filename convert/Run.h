#pragma once
// One run of the converter, from the command line's words to the exit status: the messages
// go to standard error, the summary to standard output, every line starting "mapfeed.pl:".
#include <string>
#include <vector>

#include "convert/Job.h"
#include "dgn/CellLibrary.h"

namespace convert {

/// The name every message starts with: the converter's, whatever runs it.
inline constexpr const char* kName = "mapfeed.pl";

int run(const std::vector<std::string>& words);

/// The cell that -O C places, read from its library before the design file is opened: a
/// library that cannot be used ends the run with the design file untouched. Throws Failure.
dgn::LibraryCell libraryCell(const Job& job);

}  // namespace convert
