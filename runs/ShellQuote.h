#pragma once

#include <string>
#include <vector>

namespace mapfeed {

/// The words as one line that a POSIX shell reads back as the same words: a word of only
/// plain characters stays as it is, any other goes in single quotes, a quote inside it
/// written '\''. Blanks, tabs, quotes, `$`, `*` and line breaks all stay inside their word.
std::string shellQuoted(const std::vector<std::string>& words);

}  // namespace mapfeed
