#pragma once

#include <string>
#include <vector>

namespace mapfeed::scenario {

/// Plays a scenario through the program's real Qt windows on the offscreen platform, as a
/// user's mouse and key events, and returns the same transcript as the model player, every
/// `dump` read back from the widgets. After every line it checks that the command preview
/// shows what "Apply" would start; each line where the window was out of step with the model
/// is added to `violations` as "LINE: what". Throws as `play` does.
std::string playThroughWidgets(int argc, char** argv, const std::vector<std::string>& lines, std::string* partial,
                               std::vector<std::string>& violations);

}  // namespace mapfeed::scenario
