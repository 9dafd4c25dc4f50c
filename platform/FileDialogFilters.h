#pragma once

#include <QStringList>
#include <string>

namespace mapfeed {

/// Qt name filters from a "label|pattern|label|pattern" filter string. The labels stay as they
/// are (the dialog hides the pattern part Qt needs); the patterns match as users of the old
/// dialog expect: without regard to case, and "*.*" matches every file, with or without a dot.
QStringList nameFilters(const std::string& filter);

}  // namespace mapfeed
