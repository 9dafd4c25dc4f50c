#include "platform/posix/PosixServices.h"

#include <cstdlib>
#include <ctime>

#include "job/RunRecord.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/ProcessStart.h"

namespace mapfeed::posix {

StartResult PosixServices::startProcess(const ConverterCommand& command) {
    const Spawned spawned = spawnDetached(command.arguments);
    return {spawned.started, spawned.pid, spawned.error};
}

bool PosixServices::fileExists(const std::string& path) { return posix::fileExists(path); }

std::string PosixServices::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

std::string PosixServices::dateTimeText() { return localDateTimeText(std::time(nullptr)); }

std::optional<std::string> PosixServices::appendRunLog(const std::string& record) {
    return appendRecord(kRunLogName, record);
}

std::string PosixServices::currentFolder() { return posix::currentFolder(); }

std::vector<std::string> PosixServices::drives() { return posix::drives(); }

std::shared_ptr<const FolderContents> PosixServices::readFolder(const std::string& path) { return folders_.read(path); }

}  // namespace mapfeed::posix
