#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

#include "ui/Services.h"

namespace mapfeed::posix {

/// Reads folders for the Browse window. The last folder read is kept with its change time, so
/// that typing a pattern into a folder of 100,000 files re-filters names it already holds
/// instead of reading the folder again at every keystroke; any change to the folder (a file
/// added, removed or renamed) changes its time and makes it read afresh.
class FolderReader {
public:
    std::shared_ptr<const FolderContents> read(const std::string& path);

private:
    std::mutex mutex_;
    std::string cachedPath_;
    dev_t cachedDevice_ = 0;
    ino_t cachedInode_ = 0;
    struct timespec cachedChange_ {};
    bool trusted_ = false;
    std::shared_ptr<const FolderContents> cached_;
};

/// The folder the process stands in.
std::string currentFolder();

/// The mount points of the volumes a user would browse (disks, USB sticks, network shares),
/// sorted, without the root and the system's own pseudo file systems. Reads only the mount
/// table: none of them is looked at, since a share that stopped answering would hold the caller.
std::vector<std::string> mountedVolumes();

/// Whether the user may enter a folder. May wait as long as the folder's file system does.
bool canEnter(const std::string& folder);

}  // namespace mapfeed::posix
