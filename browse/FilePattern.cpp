#include "browse/FilePattern.h"

namespace mapfeed {

namespace {

char folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Iterative wildcard match with one backtrack point: linear in practice, no recursion.
bool matchesOne(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") return true;
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    while (!pattern.empty()) {
        const std::size_t semicolon = pattern.find(';');
        const std::string_view one = trimmed(pattern.substr(0, semicolon));
        if (!one.empty() && matchesOne(name, one)) return true;
        if (semicolon == std::string_view::npos) break;
        pattern.remove_prefix(semicolon + 1);
    }
    return false;
}

}  // namespace mapfeed
