#pragma once
// Radix-50, the three-characters-a-word alphabet of cell names: space, A-Z, $, ., (unused),
// 0-9, each word c1*1600 + c2*40 + c3.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dgn {

/// text (upper-cased, padded with spaces to a multiple of three) as words; nullopt when a
/// character has no Radix-50 code.
std::optional<std::vector<std::uint16_t>> toRadix50(std::string_view text, std::size_t words);

/// The characters of the words, trailing spaces removed.
std::string fromRadix50(const std::vector<std::uint16_t>& words);

}  // namespace dgn
