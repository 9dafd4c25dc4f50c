#pragma once
// VAX D-float, the floating point form of version 7 design files: sign, an 8-bit exponent
// biased by 128 with the hidden bit read as 0.1f, 55 fraction bits, stored as four words
// high word first.
#include <array>
#include <cstdint>
#include <optional>

namespace dgn {

using VaxBytes = std::array<std::uint8_t, 8>;

/// The largest magnitude a VAX D-float holds (just under 2^127).
inline constexpr double kVaxMax = 1.7014118346046921e38;

/// value as a D-float; nullopt when it is not finite or too large. Values too small for the
/// format become 0, as the format has no denormals.
std::optional<VaxBytes> toVax(double value);

/// The value of a D-float (the three lowest fraction bits are beyond a double and dropped).
double fromVax(const std::uint8_t* bytes);

}  // namespace dgn
