#include "posix/SearchPath.h"

#include <sys/stat.h>
#include <unistd.h>

namespace mapfeed::posix {

std::string cleanSearchPath(std::string_view path) {
    std::string clean;
    while (true) {
        const std::size_t colon = path.find(':');
        const std::string_view entry = path.substr(0, colon);
        if (entry.starts_with('/')) {
            if (!clean.empty()) clean += ':';
            clean += entry;
        }
        if (colon == std::string_view::npos) break;
        path.remove_prefix(colon + 1);
    }
    return clean;
}

std::optional<std::string> findProgram(const std::string& name, std::string_view path) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) return name;
    while (true) {
        const std::size_t colon = path.find(':');
        const std::string folder(path.substr(0, colon));
        if (!folder.empty()) {
            const std::string candidate = folder + (folder.back() == '/' ? "" : "/") + name;
            struct stat info {};
            if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        if (colon == std::string_view::npos) return std::nullopt;
        path.remove_prefix(colon + 1);
    }
}

}  // namespace mapfeed::posix
