#include "runs/ShellQuote.h"

#include <algorithm>

namespace mapfeed {

namespace {

bool plain(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("-_./,:=+@%").find(c) != std::string_view::npos;
    });
}

}  // namespace

std::string shellQuoted(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        if (plain(word)) {
            line += word;
            continue;
        }
        line += '\'';
        for (const char c : word) {
            if (c == '\'') line += "'\\''";
            else line += c;
        }
        line += '\'';
    }
    return line;
}

}  // namespace mapfeed
