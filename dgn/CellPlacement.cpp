#include "dgn/CellPlacement.h"

#include <limits>

#include "dgn/Elements.h"

namespace dgn {
namespace {

// Where a component's points lie, by type: the offset of the first (x, y) pair of longs and
// how many pairs follow one another from there.
struct Points {
    std::size_t first = 0, count = 0;
};
std::optional<Points> pointsOf(const ElementView& e) {
    switch (static_cast<ElementType>(e.type())) {
    case ElementType::Line:
        if (e.size() < 52) return std::nullopt;
        return Points{36, 2};
    case ElementType::LineString:
    case ElementType::Shape:
    case ElementType::Curve: {
        if (e.size() < 38) return std::nullopt;
        const std::size_t count = getWord(e.data() + 36);
        if (e.size() < 38 + 8 * count) return std::nullopt;
        return Points{38, count};
    }
    case ElementType::ComplexChain:
    case ElementType::ComplexShape:
        if (e.size() < 40) return std::nullopt;
        return Points{};
    case ElementType::Text:
        if (e.size() < 60) return std::nullopt;
        return Points{50, 1};
    case ElementType::TextNode:
        if (e.size() < 70) return std::nullopt;
        return Points{62, 1};
    default:
        return std::nullopt;
    }
}

bool moved(std::int32_t value, std::int32_t by, std::int32_t& out) {
    const std::int64_t v = std::int64_t{value} + by;
    // The range's offset binary cannot mirror the lowest long.
    if (v <= std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

template <typename Visit>
void eachComponent(const Bytes& components, Visit visit) {
    for (std::size_t at = 0; at + 4 <= components.size();) {
        const std::size_t size = 4 + 2 * std::size_t{getWord(components.data() + at + 2)};
        visit(at, ElementView(components.data() + at, size));
        at += size;
    }
}

}  // namespace

std::optional<std::string> unplaceable(const LibraryCell& cell) {
    std::optional<std::string> problem;
    eachComponent(cell.components, [&](std::size_t, const ElementView& e) {
        if (!problem && !pointsOf(e))
            problem = "holds an element of type " + std::to_string(e.type()) + " that this converter cannot move";
    });
    if (!problem && cell.count == 0) problem = "has no components";
    if (!problem && cell.components.size() / 2 + 64 > kMaxWordsToFollow) problem = "is too large for one cell";
    return problem;
}

bool placeCell(Bytes& out, const LibraryCell& cell, const CellPlacement& placement, std::span<const std::uint8_t> linkage) {
    Bytes components = cell.components;
    const Point by = placement.origin;
    bool inside = true;
    Range range{};
    std::uint16_t levels[4] = {};
    eachComponent(components, [&](std::size_t at, const ElementView& view) {
        std::uint8_t* p = components.data() + at;
        for (std::size_t i = 0; i < 6; i += 3)
            for (std::size_t axis = 0; axis < 2; ++axis) {
                std::int32_t v = 0;
                inside = moved(getRangeLong(p + 4 + 4 * (i + axis)), axis ? by.y : by.x, v) && inside;
                setRangeLong(p + 4 + 4 * (i + axis), v);
            }
        const Points points = pointsOf(view).value_or(Points{});
        for (std::size_t i = 0, offset = points.first; i < points.count; ++i, offset += 8)
            for (std::size_t axis = 0; axis < 2; ++axis) {
                std::int32_t v = 0;
                inside = moved(getLong(p + offset + 4 * axis), axis ? by.y : by.x, v) && inside;
                setLong(p + offset + 4 * axis, v);
            }
        if (placement.level) p[0] = static_cast<std::uint8_t>((p[0] & 0xC0) | (*placement.level & 0x3F));
        if (placement.symbology && view.hasDisplay()) {
            p[34] = static_cast<std::uint8_t>((placement.symbology->style & 0x07) | (placement.symbology->weight << 3));
            p[35] = placement.symbology->color;
        }
        const Range r = view.range();
        if (at == 0) range = r;
        else range.include(r);
        const int level = p[0] & 0x3F;
        if (level > 0) levels[(level - 1) / 16] |= static_cast<std::uint16_t>(1u << ((level - 1) % 16));
    });
    if (!inside) return false;
    ElementCore core;
    core.level = placement.level.value_or(cell.level);
    core.range = range;
    if (placement.symbology) core.symbology = *placement.symbology;
    CellHeader header;
    header.name = cell.header.name;
    header.classBitmap = cell.header.classBitmap;
    std::copy(std::begin(levels), std::end(levels), header.levels);
    header.rangeLow = {cell.range.xLow, cell.range.yLow};
    header.rangeHigh = {cell.range.xHigh, cell.range.yHigh};
    header.matrix[0] = header.matrix[3] = kUnitScale;
    header.origin = by;
    if (!encodeCellHeader(out, core, header, components.size() / 2, linkage)) return false;
    out.insert(out.end(), components.begin(), components.end());
    return true;
}

}  // namespace dgn
