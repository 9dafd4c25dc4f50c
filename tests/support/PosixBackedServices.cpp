#include "tests/support/PosixBackedServices.h"

#include "posix/ProcessStart.h"

namespace mapfeed::testing {

StartResult PosixBackedServices::started(const ConverterCommand& command) {
    if (!realStarts) return RecordingServices::started(command);
    const posix::Spawned spawned = posix::spawnDetached(command.arguments);
    return {spawned.started, spawned.pid, spawned.error};
}

}  // namespace mapfeed::testing
