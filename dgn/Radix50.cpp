#include "dgn/Radix50.h"

namespace dgn {
namespace {

constexpr std::string_view kAlphabet = " ABCDEFGHIJKLMNOPQRSTUVWXYZ$. 0123456789";

std::optional<std::uint16_t> code(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == ' ') return 0;
    const auto at = kAlphabet.find(c, 1);
    if (at == std::string_view::npos || at == 29) return std::nullopt;
    return static_cast<std::uint16_t>(at);
}

}  // namespace

std::optional<std::vector<std::uint16_t>> toRadix50(std::string_view text, std::size_t words) {
    if (text.size() > 3 * words) return std::nullopt;
    std::vector<std::uint16_t> out;
    for (std::size_t w = 0; w < words; ++w) {
        std::uint16_t value = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            const std::size_t at = 3 * w + i;
            const auto c = code(at < text.size() ? text[at] : ' ');
            if (!c) return std::nullopt;
            value = static_cast<std::uint16_t>(value * 40 + *c);
        }
        out.push_back(value);
    }
    return out;
}

std::string fromRadix50(const std::vector<std::uint16_t>& words) {
    std::string out;
    for (std::uint16_t w : words) {
        const unsigned digits[3] = {w / 1600u % 40u, w / 40u % 40u, w % 40u};
        for (unsigned d : digits) out.push_back(d == 29 ? ' ' : kAlphabet[d]);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace dgn
