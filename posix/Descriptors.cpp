#include "posix/Descriptors.h"

#include <dirent.h>
#include <sys/resource.h>

#include <climits>

namespace mapfeed::posix {

int spareDescriptors() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT_MAX;
    DIR* open = ::opendir("/proc/self/fd");
    if (!open) return INT_MAX;
    long count = 0;
    while (const dirent* entry = ::readdir(open))
        if (entry->d_name[0] != '.') ++count;
    ::closedir(open);
    // The folder's own descriptor was among those counted.
    const long spare = static_cast<long>(limit.rlim_cur) - (count - 1);
    return spare > INT_MAX ? INT_MAX : static_cast<int>(spare);
}

}  // namespace mapfeed::posix
