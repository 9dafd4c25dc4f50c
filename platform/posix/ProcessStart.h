#pragma once

#include <string>
#include <vector>

namespace mapfeed::posix {

struct Spawned {
    bool started = false;
    long pid = 0;
    std::string error;
};

/// Starts `args` (the first looked up on PATH) in the current folder without a shell and
/// without waiting. The child gets a session of its own, so it outlives this program and the
/// terminal it came from; a watcher thread reaps it when it ends, so it never stays a zombie.
Spawned spawnDetached(const std::vector<std::string>& args);

}  // namespace mapfeed::posix
