#pragma once

#include <string>

#include "app/Controls.h"

namespace mapfeed::scenario {

/// A string in double quotes, with `"` and `\` escaped and bytes below 0x20 as \t, \r, \n or \xHH.
std::string quoted(const std::string& text);

/// One line describing a control's state, its name qualified by its window.
std::string describe(const Control& control);

}  // namespace mapfeed::scenario
