#pragma once

namespace mapfeed::posix {

/// How many more files this process may open before it reaches its limit (`ulimit -n`);
/// a large number when that cannot be told.
int spareDescriptors();

}  // namespace mapfeed::posix
