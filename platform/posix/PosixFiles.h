#pragma once

#include <optional>
#include <string>

namespace mapfeed::posix {

/// True only for a regular file that opens for reading. Never blocks: a named pipe, a device,
/// a folder, a missing or unreadable file and the empty path are all false.
bool fileExists(const std::string& path);

/// Appends one whole record to the log at `path` in a single write, under an exclusive lock so
/// that programs sharing the folder never interleave, and syncs it to disk before closing.
/// A write that falls short is taken back, so no half record stays. Returns why it failed.
std::optional<std::string> appendRecord(const std::string& path, const std::string& record);

/// The local date and time in the present locale: the short date, one blank, the long time.
std::string localDateTimeText(long long secondsSinceEpoch);

}  // namespace mapfeed::posix
