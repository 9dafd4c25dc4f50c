#pragma once
// One run of the converter, from the command line's words to the exit status: the messages
// go to standard error, the summary to standard output, every line starting "mapfeed.pl:".
#include <string>
#include <vector>

namespace convert {

/// The name every message starts with: the converter's, whatever runs it.
inline constexpr const char* kName = "mapfeed.pl";

int run(const std::vector<std::string>& words);

}  // namespace convert
