#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace mapfeed::posix {

/// True only for a regular file that the user may read. Never blocks on a named pipe or a
/// device and never opens the file for reading: a look through an O_PATH descriptor and an
/// access check, so that a file held under another program's lease is found without its lease
/// being broken. A folder, a missing or unreadable file, the empty path and a path holding a
/// NUL are all false. The file system may still be slow to answer; callers on the window's
/// thread bound it (PosixServices).
bool fileExists(const std::string& path);

/// The size of the regular file at `path`, looked at as `fileExists` looks; nothing for
/// anything else.
std::optional<std::uint64_t> regularFileSize(const std::string& path);

/// Makes an empty regular file at `path` when no file of that name exists; a name that exists
/// already (a file, a folder, a link) is left as it is. Never follows a link and never opens a
/// pipe or a device. Returns why it could not, or nothing.
std::optional<std::string> createEmptyFile(const std::string& path);

/// The text that appendRecord gives when another program holds the log's lock too long.
inline constexpr const char* kLogInUse = "the run log is in use by another program";

/// Appends one whole record to the log at `path` in a single write, under an exclusive lock so
/// that programs sharing the folder never interleave, and syncs it to disk before closing.
/// The log must be a regular file reached without a symbolic link, and it is opened without
/// waiting (a named pipe is refused, never waited on). The lock is tried for about two seconds,
/// `whileWaiting` being called between tries. A record cut short by a program killed in the
/// middle of its write is ended first, so the new record starts on a line of its own. A write
/// that falls short is taken back, so no half record stays. Returns why it failed.
std::optional<std::string> appendRecord(const std::string& path, const std::string& record,
                                        const std::function<void()>& whileWaiting = {});

/// The local date and time in the present locale: the short date, one blank, the long time.
std::string localDateTimeText(long long secondsSinceEpoch);

}  // namespace mapfeed::posix
