#include "dgn/Elements.h"

#include <algorithm>

#include "dgn/Radix50.h"

namespace dgn {
namespace {

void putPoint(Bytes& out, Point p) {
    putLong(out, p.x);
    putLong(out, p.y);
}

Point pointAt(const std::uint8_t* p) { return {getLong(p), getLong(p + 4)}; }

bool holds(const ElementView& e, std::size_t bytes) { return e.size() >= bytes; }

}  // namespace

void encodeLine(Bytes& out, const ElementCore& core, Point start, Point end, std::span<const std::uint8_t> linkage) {
    const std::size_t at = beginElement(out, ElementType::Line, core);
    putPoint(out, start);
    putPoint(out, end);
    finishElement(out, at, linkage);
}

std::optional<std::vector<Point>> decodeLine(const ElementView& e) {
    if (!holds(e, 52)) return std::nullopt;
    return std::vector<Point>{pointAt(e.data() + 36), pointAt(e.data() + 44)};
}

void encodeMultiPoint(Bytes& out, ElementType type, const ElementCore& core, std::span<const Point> points,
                      std::span<const std::uint8_t> linkage) {
    const std::size_t at = beginElement(out, type, core);
    putWord(out, static_cast<std::uint16_t>(points.size()));
    out.reserve(out.size() + 8 * points.size() + linkage.size());
    for (Point p : points) putPoint(out, p);
    finishElement(out, at, linkage);
}

std::optional<std::vector<Point>> decodeMultiPoint(const ElementView& e) {
    if (!holds(e, 38)) return std::nullopt;
    const std::size_t count = getWord(e.data() + 36);
    if (!holds(e, 38 + 8 * count)) return std::nullopt;
    std::vector<Point> points;
    for (std::size_t i = 0; i < count; ++i) points.push_back(pointAt(e.data() + 38 + 8 * i));
    return points;
}

void encodeText(Bytes& out, const ElementCore& core, const Text& text, std::span<const std::uint8_t> linkage) {
    const std::size_t at = beginElement(out, ElementType::Text, core);
    putByte(out, text.font);
    putByte(out, text.justification);
    putLong(out, text.lengthMultiplier);
    putLong(out, text.heightMultiplier);
    putLong(out, text.rotation);
    putPoint(out, text.origin);
    const std::size_t length = std::min<std::size_t>(text.characters.size(), 255);
    putByte(out, static_cast<std::uint8_t>(length));
    putByte(out, 0);  // no enter-data fields
    out.insert(out.end(), text.characters.begin(), text.characters.begin() + static_cast<std::ptrdiff_t>(length));
    finishElement(out, at, linkage);
}

std::optional<Text> decodeText(const ElementView& e) {
    if (!holds(e, 60)) return std::nullopt;
    const std::uint8_t* p = e.data();
    Text t;
    t.font = p[36];
    t.justification = p[37];
    t.lengthMultiplier = getLong(p + 38);
    t.heightMultiplier = getLong(p + 42);
    t.rotation = getLong(p + 46);
    t.origin = pointAt(p + 50);
    const std::size_t length = p[58];
    if (!holds(e, 60 + length)) return std::nullopt;
    t.characters.assign(reinterpret_cast<const char*>(p + 60), length);
    return t;
}

void encodeTextNode(Bytes& out, const ElementCore& core, TextNode node, std::size_t componentWords,
                    std::span<const std::uint8_t> linkage) {
    const std::size_t at = beginElement(out, ElementType::TextNode, core);
    node.totalLength = static_cast<std::uint16_t>((70 - 38) / 2 + (linkage.size() + 1) / 2 + componentWords);
    putWord(out, node.totalLength);
    putWord(out, node.count);
    putWord(out, node.number);
    putByte(out, node.maxLength);
    putByte(out, node.maxUsed);
    putByte(out, node.font);
    putByte(out, node.justification);
    putLong(out, node.lineSpacing);
    putLong(out, node.lengthMultiplier);
    putLong(out, node.heightMultiplier);
    putLong(out, node.rotation);
    putPoint(out, node.origin);
    finishElement(out, at, linkage);
}

std::optional<TextNode> decodeTextNode(const ElementView& e) {
    if (!holds(e, 70)) return std::nullopt;
    const std::uint8_t* p = e.data();
    TextNode n;
    n.totalLength = getWord(p + 36);
    n.count = getWord(p + 38);
    n.number = getWord(p + 40);
    n.maxLength = p[42];
    n.maxUsed = p[43];
    n.font = p[44];
    n.justification = p[45];
    n.lineSpacing = getLong(p + 46);
    n.lengthMultiplier = getLong(p + 50);
    n.heightMultiplier = getLong(p + 54);
    n.rotation = getLong(p + 58);
    n.origin = pointAt(p + 62);
    return n;
}

std::size_t complexTotalLength(std::size_t componentWords, std::size_t linkageBytes) {
    const std::size_t tail = linkageBytes == 0 ? 8 : (linkageBytes + 1) / 2 * 2;
    return (40 + tail - 38) / 2 + componentWords;
}

bool encodeComplexHeader(Bytes& out, ElementType type, const ElementCore& core, std::size_t count,
                         std::size_t componentWords, std::span<const std::uint8_t> linkage) {
    const std::size_t total = complexTotalLength(componentWords, linkage.size());
    if (total > 0xFFFF || count > 0xFFFF) return false;
    const std::size_t at = beginElement(out, type, core);
    putWord(out, static_cast<std::uint16_t>(total));
    putWord(out, static_cast<std::uint16_t>(count));
    if (linkage.empty()) out.resize(out.size() + 8, 0);
    finishElement(out, at, linkage);
    return true;
}

std::optional<ComplexHeader> decodeComplexHeader(const ElementView& e) {
    if (!holds(e, 40)) return std::nullopt;
    return ComplexHeader{getWord(e.data() + 36), getWord(e.data() + 38)};
}

bool encodeCellHeader(Bytes& out, const ElementCore& core, const CellHeader& cell, std::size_t componentWords,
                      std::span<const std::uint8_t> linkage) {
    const auto name = toRadix50(cell.name, 2);
    if (!name) return false;
    const std::size_t at = beginElement(out, ElementType::CellHeader, core);
    putWord(out, static_cast<std::uint16_t>((92 - 38) / 2 + (linkage.size() + 1) / 2 + componentWords));
    putWord(out, (*name)[0]);
    putWord(out, (*name)[1]);
    putWord(out, cell.classBitmap);
    for (std::uint16_t l : cell.levels) putWord(out, l);
    putPoint(out, cell.rangeLow);
    putPoint(out, cell.rangeHigh);
    for (std::int32_t t : cell.matrix) putLong(out, t);
    putPoint(out, cell.origin);
    finishElement(out, at, linkage);
    return true;
}

std::optional<CellHeader> decodeCellHeader(const ElementView& e) {
    if (!holds(e, 92)) return std::nullopt;
    const std::uint8_t* p = e.data();
    CellHeader c;
    c.totalLength = getWord(p + 36);
    c.name = fromRadix50({getWord(p + 38), getWord(p + 40)});
    c.classBitmap = getWord(p + 42);
    for (int i = 0; i < 4; ++i) c.levels[i] = getWord(p + 44 + 2 * i);
    c.rangeLow = pointAt(p + 52);
    c.rangeHigh = pointAt(p + 60);
    for (int i = 0; i < 4; ++i) c.matrix[i] = getLong(p + 68 + 4 * i);
    c.origin = pointAt(p + 84);
    return c;
}

bool encodeLibraryCellHeader(Bytes& out, const ElementCore& core, const LibraryCellHeader& cell) {
    const auto name = toRadix50(cell.name, 2);
    const auto description = toRadix50(cell.description, 9);
    if (!name || !description) return false;
    const std::size_t at = beginElement(out, ElementType::LibraryCellHeader, core);
    putWord(out, static_cast<std::uint16_t>(cell.cellType));
    putWord(out, 0);  // attribute index: no linkage
    putWord(out, (*name)[0]);
    putWord(out, (*name)[1]);
    putWord(out, cell.wordsInDescription);
    putWord(out, cell.properties);
    putWord(out, cell.displaySymbology);
    putWord(out, cell.classBitmap);
    for (std::uint16_t l : cell.levels) putWord(out, l);
    for (std::uint16_t w : *description) putWord(out, w);
    finishElement(out, at);
    return true;
}

std::optional<LibraryCellHeader> decodeLibraryCellHeader(const ElementView& e) {
    if (!holds(e, 70)) return std::nullopt;
    const std::uint8_t* p = e.data();
    LibraryCellHeader c;
    c.cellType = static_cast<std::int16_t>(getWord(p + 28));
    c.name = fromRadix50({getWord(p + 32), getWord(p + 34)});
    c.wordsInDescription = getWord(p + 36);
    c.properties = getWord(p + 38);
    c.displaySymbology = getWord(p + 40);
    c.classBitmap = getWord(p + 42);
    for (int i = 0; i < 4; ++i) c.levels[i] = getWord(p + 44 + 2 * i);
    std::vector<std::uint16_t> words;
    for (int i = 0; i < 9; ++i) words.push_back(getWord(p + 52 + 2 * i));
    c.description = fromRadix50(words);
    return c;
}

}  // namespace dgn
