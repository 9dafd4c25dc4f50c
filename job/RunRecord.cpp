#include "job/RunRecord.h"

namespace mapfeed {

std::string formatRunRecord(const std::string& dateTime, const std::string& commandLine, long taskId) {
    std::string record;
    record.reserve(dateTime.size() + commandLine.size() + 48);
    record += dateTime;
    record += "\r\n";
    record += commandLine;
    record += "\r\n";
    record += "The returnvalue is: ";
    record += std::to_string(taskId);
    record += "\r\n";
    return record;
}

}  // namespace mapfeed
