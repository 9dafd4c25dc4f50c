#pragma once

#include <string>

#include "tests/support/Quoted.h"
#include "ui/Controls.h"

namespace mapfeed::scenario {

using testing::quoted;

/// One line describing a control's state, its name qualified by its window.
std::string describe(const Control& control);

}  // namespace mapfeed::scenario
