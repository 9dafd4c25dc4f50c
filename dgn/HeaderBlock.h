#pragma once
// The three elements that start a 2D design file: the header block (type 9, 768 words: views,
// working units, global origin), the digitizer setup (type 8) and the level symbology (type
// 10). Only the fields this program uses are decoded; a new header gets views and scales a
// CAD program accepts.
#include <optional>
#include <string>

#include "dgn/Bytes.h"
#include "dgn/Element.h"

namespace dgn {

inline constexpr std::size_t kHeaderBlockBytes = 1536;
/// Header block, digitizer setup and level symbology together.
inline constexpr std::size_t kFixedHeaderBytes = 1536 + 356 + 156;

/// Working units and the global origin (in UORs) of a design file.
struct DesignUnits {
    std::int32_t subunitsPerMaster = 1000;
    std::int32_t uorsPerSubunit = 1;
    std::string masterName = "m";
    std::string subName = "mm";
    double originX = 0, originY = 0, originZ = 0;
    bool threeD = false;
    double uorsPerMaster() const { return double(subunitsPerMaster) * uorsPerSubunit; }
};

/// The fixed header elements of a new 2D file. Its eight views look at viewed (UORs) with
/// identity rotations; the active scale is 1. nullopt when the origin is beyond a D-float.
std::optional<Bytes> encodeFixedHeader(const DesignUnits& units, const Range& viewed);

/// Why a file's start is not a usable header block, or its units.
struct HeaderBlockRead {
    std::optional<DesignUnits> units;
    std::string problem;
};

/// Reads the header block from the first bytes of a file (at least kHeaderBlockBytes, or
/// fewer when the file is that short).
HeaderBlockRead decodeHeaderBlock(const std::uint8_t* bytes, std::size_t size);

}  // namespace dgn
