#include "dgn/Linkage.h"

namespace dgn {

std::array<std::uint8_t, 8> encodeDmrs(DmrsLinkage linkage) {
    return {0,
            0,
            static_cast<std::uint8_t>(linkage.entity),
            static_cast<std::uint8_t>(linkage.entity >> 8),
            static_cast<std::uint8_t>(linkage.mslink),
            static_cast<std::uint8_t>(linkage.mslink >> 8),
            static_cast<std::uint8_t>(linkage.mslink >> 16),
            1};
}

std::vector<DmrsLinkage> decodeDmrs(std::span<const std::uint8_t> bytes) {
    std::vector<DmrsLinkage> found;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const std::uint8_t* p = bytes.data() + at;
        const std::uint16_t first = getWord(p);
        if (first == 0 && (p[2] | p[3] | p[4] | p[5] | p[6]) == 0) break;  // padding
        if (p[0] == 0 && (p[1] == 0 || p[1] == 0x80)) {
            found.push_back({getWord(p + 2), std::uint32_t(getWord(p + 4)) | (std::uint32_t(p[6]) << 16)});
            at += 8;
        } else if (first & 0x1000) {
            at += 2 * (std::size_t(first & 0xFF) + 1);
        } else {
            break;
        }
    }
    return found;
}

}  // namespace dgn
