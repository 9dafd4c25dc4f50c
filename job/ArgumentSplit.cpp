#include "job/ArgumentSplit.h"

namespace mapfeed {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

// Splits line[i..] into arguments after the program name.
void appendArguments(const std::string& line, std::size_t i, std::vector<std::string>& into) {
    const std::size_t n = line.size();
    for (;;) {
        while (i < n && isSeparator(line[i])) ++i;
        if (i == n) break;

        std::string arg;
        bool inQuote = false;
        while (i < n) {
            std::size_t slashes = 0;
            while (i < n && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < n && line[i] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    arg += '"';
                    ++i;
                    continue;
                }
                if (inQuote && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';  // "" inside quotes: a literal quote that also ends the quoted part
                    i += 2;
                } else {
                    ++i;
                }
                inQuote = !inQuote;
                continue;
            }
            arg.append(slashes, '\\');
            if (i == n) break;
            const char c = line[i];
            if (!inQuote && isSeparator(c)) break;
            arg += c;
            ++i;
        }
        into.push_back(std::move(arg));
    }
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = line.size();

    while (i < n && isSeparator(line[i])) ++i;
    if (i == n) return args;

    // The program name: quotes toggle grouping, nothing is escaped.
    {
        std::string program;
        bool inQuote = false;
        for (; i < n; ++i) {
            const char c = line[i];
            if (c == '"') {
                inQuote = !inQuote;
                continue;
            }
            if (!inQuote && isSeparator(c)) break;
            program += c;
        }
        args.push_back(std::move(program));
    }

    appendArguments(line, i, args);
    return args;
}

void appendSplitArguments(const std::string& text, std::vector<std::string>& into) { appendArguments(text, 0, into); }

}  // namespace mapfeed
