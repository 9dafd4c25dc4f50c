#pragma once
// Byte order of version 7 design files: words little-endian; longs "middle-endian" (the high
// word first, each word little-endian, as the PDP-11 stored them); range longs the same but in
// offset binary (the sign bit flipped) so that they sort as unsigned numbers.
#include <cstdint>
#include <vector>

namespace dgn {

using Bytes = std::vector<std::uint8_t>;

/// The 16-bit word at p.
inline std::uint16_t getWord(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

/// The signed middle-endian long at p.
inline std::int32_t getLong(const std::uint8_t* p) {
    const std::uint32_t u = (std::uint32_t{p[1]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[3]} << 8) | p[2];
    return static_cast<std::int32_t>(u);
}

/// The range long at p (offset binary).
inline std::int32_t getRangeLong(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(getLong(p)) ^ 0x80000000u);
}

inline void setWord(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void setLong(std::uint8_t* p, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    p[0] = static_cast<std::uint8_t>(u >> 16);
    p[1] = static_cast<std::uint8_t>(u >> 24);
    p[2] = static_cast<std::uint8_t>(u);
    p[3] = static_cast<std::uint8_t>(u >> 8);
}

inline void setRangeLong(std::uint8_t* p, std::int32_t value) {
    setLong(p, static_cast<std::int32_t>(static_cast<std::uint32_t>(value) ^ 0x80000000u));
}

inline void putByte(Bytes& out, std::uint8_t v) { out.push_back(v); }

inline void putWord(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void putLong(Bytes& out, std::int32_t v) {
    const std::size_t at = out.size();
    out.resize(at + 4);
    setLong(out.data() + at, v);
}

}  // namespace dgn
