#include "sources/Tokens.h"

#include <charconv>
#include <cstdlib>

namespace sources {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t begin = 0, end = line.size();
    while (begin < end && isBlank(line[begin])) ++begin;
    while (end > begin && isBlank(line[end - 1])) --end;
    if (begin == end) return;
    std::size_t at = begin;
    while (true) {
        std::size_t stop = at;
        while (stop < end && !isBlank(line[stop]) && line[stop] != ',') ++stop;
        fields.push_back(line.substr(at, stop - at));
        if (stop == end) break;
        // The separator: blanks, with at most one comma among them.
        std::size_t next = stop;
        while (next < end && isBlank(line[next])) ++next;
        if (next < end && line[next] == ',') {
            ++next;
            while (next < end && isBlank(line[next])) ++next;
        }
        at = next;
        if (at == end) break;
    }
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t mantissa = at;
    std::size_t digits = 0;
    while (at < text.size() && isDigit(text[at])) ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && isDigit(text[at])) ++at, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t e = at + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        const std::size_t first = e;
        while (e < text.size() && isDigit(text[e])) ++e;
        if (e == first) return std::nullopt;
        at = e;
    }
    if (at != text.size()) return std::nullopt;
    double value = 0;
    const char* begin = text.data() + mantissa;
    const auto result = std::from_chars(begin, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = std::strtod(std::string(begin, text.data() + text.size()).c_str(), nullptr);
    }
    return text[0] == '-' ? -value : value;
}

bool isId(std::string_view text) {
    std::size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (at == text.size()) return false;
    for (; at < text.size(); ++at)
        if (!isDigit(text[at])) return false;
    return true;
}

bool isEnd(const std::vector<std::string_view>& fields) {
    if (fields.size() != 1 || fields[0].size() != 3) return false;
    const auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return up(fields[0][0]) == 'E' && up(fields[0][1]) == 'N' && up(fields[0][2]) == 'D';
}

std::string printable(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace sources
