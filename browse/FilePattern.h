#pragma once

#include <string>
#include <string_view>

namespace mapfeed {

/// Whether a file name matches a pattern of the Browse window's file list: `*` any run of
/// characters, `?` one character of the locale's encoding (one byte where the name is not valid
/// in it), letters without regard to case, several patterns separated by ";" (any one may
/// match). "*.*" matches every name, with or without a dot, as the file
/// lists of the converter's home platform did. An empty pattern matches nothing.
bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace mapfeed
