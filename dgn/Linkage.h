#pragma once
// Database linkages after an element's data. The DMRS linkage (four words: a zero word, the
// entity number, and a 24-bit mslink) ties an element to a row of a database table; other
// linkages (user data, marked by bit 0x1000 of their first word, their length in its low byte)
// are walked over.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "dgn/Bytes.h"

namespace dgn {

/// The largest mslink a DMRS linkage holds.
inline constexpr std::uint32_t kMaxMslink = 0xFFFFFF;

struct DmrsLinkage {
    std::uint16_t entity = 0;
    std::uint32_t mslink = 0;
    bool operator==(const DmrsLinkage&) const = default;
};

/// The eight bytes of a DMRS linkage (mslink cut to 24 bits; the caller checks kMaxMslink).
std::array<std::uint8_t, 8> encodeDmrs(DmrsLinkage linkage);

/// The DMRS linkages among the linkage bytes of an element.
std::vector<DmrsLinkage> decodeDmrs(std::span<const std::uint8_t> linkages);

}  // namespace dgn
