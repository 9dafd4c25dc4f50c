#pragma once
// The parts every 2D version 7 element shares: the element header (level, type, words to
// follow, range block) and, for graphic elements, the display header (graphic group, where the
// attributes start, properties, symbology). Elements are written by beginElement, the caller's
// own data, then finishElement; they are read through ElementView.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dgn/Bytes.h"

namespace dgn {

/// The element types this library knows by number.
enum class ElementType : std::uint8_t {
    LibraryCellHeader = 1,
    CellHeader = 2,
    Line = 3,
    LineString = 4,
    Shape = 6,
    TextNode = 7,
    DigitizerSetup = 8,
    HeaderBlock = 9,
    LevelSymbology = 10,
    Curve = 11,
    ComplexChain = 12,
    ComplexShape = 14,
    Text = 17,
};

/// A location in units of resolution (UORs).
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

/// A 2D range block, inclusive, in UORs.
struct Range {
    std::int32_t xLow = 0, yLow = 0, xHigh = 0, yHigh = 0;
    static Range at(Point p) { return {p.x, p.y, p.x, p.y}; }
    void include(Point p) {
        if (p.x < xLow) xLow = p.x;
        if (p.x > xHigh) xHigh = p.x;
        if (p.y < yLow) yLow = p.y;
        if (p.y > yHigh) yHigh = p.y;
    }
    void include(const Range& r) {
        include(Point{r.xLow, r.yLow});
        include(Point{r.xHigh, r.yHigh});
    }
    bool encloses(const Range& r) const {
        return xLow <= r.xLow && yLow <= r.yLow && xHigh >= r.xHigh && yHigh >= r.yHigh;
    }
    bool operator==(const Range&) const = default;
};

/// Line style (0-7), weight (0-31) and color (0-255).
struct Symbology {
    std::uint8_t style = 0, weight = 0, color = 0;
    bool operator==(const Symbology&) const = default;
};

/// Display header property bits.
inline constexpr std::uint16_t kPropertyAttributes = 0x0800;  ///< a linkage follows the data
inline constexpr std::uint16_t kPropertyHole = 0x8000;        ///< a shape that is a hole

/// What a writer chooses for any element.
struct ElementCore {
    int level = 1;
    bool complex = false;  ///< a component of a complex element or cell
    Range range{};
    std::uint16_t graphicGroup = 0;
    std::uint16_t properties = 0;
    Symbology symbology{};
};

/// Bytes of the element header and of the display header.
inline constexpr std::size_t kHeaderBytes = 28;
inline constexpr std::size_t kDisplayHeaderBytes = 36;
/// The most words one element may follow its first two words by (it fits in the WTF word).
inline constexpr std::size_t kMaxWordsToFollow = 65535;

/// True for types whose element carries the display header.
bool hasDisplayHeader(std::uint8_t type);

/// Starts an element at the end of out: its header and display header, to be completed by
/// the type's data and finishElement. Returns where it starts.
std::size_t beginElement(Bytes& out, ElementType type, const ElementCore& core);

/// Ends the element begun at start: pads its data to a whole word, appends the linkage
/// (setting the attributes bit and index), fills in the words to follow.
void finishElement(Bytes& out, std::size_t start, std::span<const std::uint8_t> linkage = {});

/// A read-only look at one element's bytes (at least its 4-byte start).
class ElementView {
public:
    ElementView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::uint8_t type() const { return data_[1] & 0x7F; }
    int level() const { return data_[0] & 0x3F; }
    bool complex() const { return (data_[0] & 0x80) != 0; }
    bool deleted() const { return (data_[1] & 0x80) != 0; }
    std::size_t wordsToFollow() const { return getWord(data_ + 2); }
    bool hasRange() const { return size_ >= kHeaderBytes; }
    Range range() const;
    bool hasDisplay() const { return hasDisplayHeader(type()) && size_ >= kDisplayHeaderBytes; }
    std::uint16_t graphicGroup() const { return getWord(data_ + 28); }
    std::uint16_t attributeIndex() const { return getWord(data_ + 30); }
    std::uint16_t properties() const { return getWord(data_ + 32); }
    Symbology symbology() const;
    /// The linkage bytes (after the data, where the attribute index points), or empty.
    std::span<const std::uint8_t> linkage() const;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace dgn
