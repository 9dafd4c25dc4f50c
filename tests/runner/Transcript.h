#pragma once

#include <string>
#include <vector>

#include "tests/support/Quoted.h"
#include "ui/Controls.h"

namespace mapfeed::scenario {

using testing::quoted;

/// One line describing a control's state, its name qualified by its window.
std::string describe(const Control& control);

/// A text field's offers as its line ends with them: nothing when it offers none.
std::string offered(const std::vector<std::string>& offers);

}  // namespace mapfeed::scenario
