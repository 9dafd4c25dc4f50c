#pragma once
// Placing a library cell in a design file: a cell header (type 2) and the cell's components
// moved by the placement's origin, at scale 1 and without rotation (the library's (0, 0) is
// the cell's origin, its coordinates taken in the design file's units of resolution).
#include <optional>
#include <span>
#include <string>

#include "dgn/Bytes.h"
#include "dgn/CellLibrary.h"
#include "dgn/Element.h"

namespace dgn {

/// Why the cell cannot be placed (a component of a type whose coordinates this library cannot
/// move, or too many words for one cell), or nullopt when it can.
std::optional<std::string> unplaceable(const LibraryCell& cell);

struct CellPlacement {
    Point origin{};
    std::optional<int> level;            ///< every component's level, else each keeps its own
    std::optional<Symbology> symbology;  ///< every component's symbology, else each keeps its own
};

/// Appends the header and the moved components. False (out unchanged) when a moved coordinate
/// would leave the plane. The cell must be placeable.
bool placeCell(Bytes& out, const LibraryCell& cell, const CellPlacement& placement, std::span<const std::uint8_t> linkage = {});

/// The matrix entry of a scale of 1 (2^31 / 10000, as cell headers store it).
inline constexpr std::int32_t kUnitScale = 214748;

}  // namespace dgn
