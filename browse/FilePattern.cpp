#include "browse/FilePattern.h"

#include <cwchar>

namespace mapfeed {

namespace {

char folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

/// The length of the character at `at` in the locale's encoding: a UTF-8 sequence counts as
/// one character in a UTF-8 locale. A byte that starts no valid character counts alone, so a
/// name that is not valid in the encoding is matched byte by byte where it is not.
std::size_t characterLength(std::string_view name, std::size_t at) {
    if (static_cast<unsigned char>(name[at]) < 0x80) return 1;
    std::mbstate_t state{};
    const std::size_t length = std::mbrlen(name.data() + at, name.size() - at, &state);
    return length == 0 || length > name.size() - at ? 1 : length;
}

// Iterative wildcard match with one backtrack point: linear in practice, no recursion. `?`
// and `*` step over whole characters; other pattern bytes must equal the name's bytes.
bool matchesOne(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") return true;
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            n += characterLength(name, n);
            ++p;
        } else if (p < pattern.size() && pattern[p] != '*' && folded(pattern[p]) == folded(name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += characterLength(name, starN);
            n = starN;
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
