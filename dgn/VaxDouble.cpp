#include "dgn/VaxDouble.h"

#include <bit>
#include <cmath>

namespace dgn {

std::optional<VaxBytes> toVax(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    VaxBytes out{};
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const std::uint64_t sign = bits >> 63;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponent == 0) return out;
    const int vaxExponent = exponent - 1023 + 129;
    if (vaxExponent > 255) return std::nullopt;
    if (vaxExponent <= 0) return out;
    const std::uint64_t vax = (sign << 63) | (std::uint64_t(vaxExponent) << 55) | (fraction << 3);
    for (int word = 0; word < 4; ++word) {
        const auto w = static_cast<std::uint16_t>(vax >> (48 - 16 * word));
        out[2 * word] = static_cast<std::uint8_t>(w);
        out[2 * word + 1] = static_cast<std::uint8_t>(w >> 8);
    }
    return out;
}

double fromVax(const std::uint8_t* bytes) {
    std::uint64_t vax = 0;
    for (int word = 0; word < 4; ++word)
        vax = (vax << 16) | std::uint64_t(bytes[2 * word] | (bytes[2 * word + 1] << 8));
    const int vaxExponent = static_cast<int>((vax >> 55) & 0xFF);
    if (vaxExponent == 0) return 0.0;
    const std::uint64_t sign = vax >> 63;
    const std::uint64_t fraction = (vax >> 3) & ((std::uint64_t{1} << 52) - 1);
    return std::bit_cast<double>((sign << 63) | (std::uint64_t(vaxExponent - 129 + 1023) << 52) | fraction);
}

}  // namespace dgn
