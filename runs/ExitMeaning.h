#pragma once

#include <string_view>

namespace mapfeed {

/// What an exit status of the program's own converter means, from the status table of its
/// manual; empty for a status the table does not have. Another converter's statuses mean
/// whatever it says they mean, so this is asked only of ours.
std::string_view converterExitMeaning(int status);

}  // namespace mapfeed
