#pragma once

#include <string>

namespace mapfeed {

inline constexpr const char* kRunLogName = "MapfeedLog.dat";

/// The three lines appended to the run log for one started converter, each ended by CR LF:
/// the date and time, the command line exactly as started, and the task identifier.
std::string formatRunRecord(const std::string& dateTime, const std::string& commandLine, long taskId);

}  // namespace mapfeed
