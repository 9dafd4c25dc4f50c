#pragma once

#include <string>

namespace mapfeed::testing {

/// A string in double quotes, with `"` and `\` escaped and bytes below 0x20 as \t, \r, \n or \xHH.
std::string quoted(const std::string& text);

}  // namespace mapfeed::testing
