#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mapfeed::posix {

/// The search path without its empty and relative entries. To the program lookup and to
/// `perl -S` alike an empty entry, "." or "bin" means a folder relative to the current one,
/// where a file planted in a shared folder would run with the user's rights.
std::string cleanSearchPath(std::string_view path);

/// The first executable regular file named `name` in the folders of `path`, as the start's
/// own lookup finds it; a name holding "/" is taken as it is.
std::optional<std::string> findProgram(const std::string& name, std::string_view path);

}  // namespace mapfeed::posix
