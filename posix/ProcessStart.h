#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "posix/ChildReaper.h"
#include "posix/UniqueFd.h"

namespace mapfeed::posix {

struct Spawned {
    bool started = false;
    long pid = 0;
    std::string error;
    std::uint64_t watch = 0;  // for ChildReaper::forget
};

/// Where a child's output goes, and who hears of its end.
struct SpawnOptions {
    /// Standard output and standard error both, one descriptor so that their order is kept;
    /// -1: ours.
    int output = -1;
    /// Told on the reaper's thread how the child ended.
    ChildReaper::Listener onEnd;
};

/// Starts `args` (the first looked up on PATH, less its empty and relative entries, which
/// the child's PATH loses too) in the current folder without a shell and
/// without waiting. The child gets a session of its own, so it outlives this program and the
/// terminal it came from; its standard input is /dev/null and it inherits no other descriptor
/// of ours than its standard output and error. The reaper collects it when it ends, so it
/// never stays a zombie; a start that could not be watched is not made.
Spawned spawnDetached(const std::vector<std::string>& args, SpawnOptions options = {});

/// A file with no name for a child's output, open for reading and appending: the child writes
/// it, the program reads it as it grows. Unlike a pipe, nothing blocks or dies when the reader
/// goes first, and it is gone from the disk once the last of them closes it. In $TMPDIR, or
/// /tmp when that is not set or cannot take it. Empty, with `error` set, when it cannot be made;
/// made with `error` set when both folders are full and what is written may be lost.
UniqueFd makeOutputFile(std::string& error);

}  // namespace mapfeed::posix
