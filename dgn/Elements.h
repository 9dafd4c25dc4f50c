#pragma once
// Encoders and decoders of the 2D element types this library writes and reads: line (3),
// line string (4), shape (6), curve (11), text node (7), text (17), complex chain and shape
// headers (12, 14), cell header (2) and library cell header (1). The decoders return nullopt
// for an element too short for its type.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dgn/Element.h"

namespace dgn {

/// Vertices one line string, shape or curve holds (a curve's four steering points included).
inline constexpr std::size_t kMaxVertices = 101;

void encodeLine(Bytes& out, const ElementCore& core, Point start, Point end, std::span<const std::uint8_t> linkage = {});
std::optional<std::vector<Point>> decodeLine(const ElementView& e);

/// A line string, shape or curve (type chosen by the caller) of at most kMaxVertices points.
void encodeMultiPoint(Bytes& out, ElementType type, const ElementCore& core, std::span<const Point> points,
                      std::span<const std::uint8_t> linkage = {});
std::optional<std::vector<Point>> decodeMultiPoint(const ElementView& e);

/// A text element. The multipliers are the character width and height in UORs times 1000/6;
/// the rotation is in 1/360000 of a degree; the origin is the text's lower left corner.
struct Text {
    std::uint8_t font = 0;
    std::uint8_t justification = 0;
    std::int32_t lengthMultiplier = 0;
    std::int32_t heightMultiplier = 0;
    std::int32_t rotation = 0;
    Point origin{};
    std::string characters;  ///< at most 255
};
void encodeText(Bytes& out, const ElementCore& core, const Text& text, std::span<const std::uint8_t> linkage = {});
std::optional<Text> decodeText(const ElementView& e);

/// A text node header; its texts follow it as components.
struct TextNode {
    std::uint16_t totalLength = 0;  ///< words after this field, components included
    std::uint16_t count = 0;
    std::uint16_t number = 0;
    std::uint8_t maxLength = 255;
    std::uint8_t maxUsed = 0;
    std::uint8_t font = 0;
    std::uint8_t justification = 0;
    std::int32_t lineSpacing = 0;
    std::int32_t lengthMultiplier = 0;
    std::int32_t heightMultiplier = 0;
    std::int32_t rotation = 0;
    Point origin{};
};
/// The node's totalLength is computed from componentWords (the words of its texts).
void encodeTextNode(Bytes& out, const ElementCore& core, TextNode node, std::size_t componentWords,
                    std::span<const std::uint8_t> linkage = {});
std::optional<TextNode> decodeTextNode(const ElementView& e);

/// A complex chain or shape header: its components' count and, in totalLength, the words
/// after that field (components included).
struct ComplexHeader {
    std::uint16_t totalLength = 0;
    std::uint16_t count = 0;
};
/// Without a linkage the header is padded with four empty words, as readers expect a complex
/// header of at least 24 words. False when totalLength would not fit its word.
bool encodeComplexHeader(Bytes& out, ElementType type, const ElementCore& core, std::size_t count,
                         std::size_t componentWords, std::span<const std::uint8_t> linkage = {});
std::optional<ComplexHeader> decodeComplexHeader(const ElementView& e);
/// The totalLength a complex header gets for componentWords, given its linkage's size.
std::size_t complexTotalLength(std::size_t componentWords, std::size_t linkageBytes);

/// A 2D cell header (type 2): a placed cell, its components following it.
struct CellHeader {
    std::uint16_t totalLength = 0;
    std::string name;  ///< up to six Radix-50 characters
    std::uint16_t classBitmap = 0;
    std::uint16_t levels[4] = {};
    Point rangeLow{}, rangeHigh{};
    std::int32_t matrix[4] = {};  ///< t11, t12, t21, t22, 1.0 stored as 214748
    Point origin{};
};
/// False when the name holds a character Radix-50 cannot.
bool encodeCellHeader(Bytes& out, const ElementCore& core, const CellHeader& cell, std::size_t componentWords,
                      std::span<const std::uint8_t> linkage = {});
std::optional<CellHeader> decodeCellHeader(const ElementView& e);

/// A cell library's cell definition header (type 1, no display header).
struct LibraryCellHeader {
    std::int16_t cellType = 0;
    std::string name;
    std::uint16_t wordsInDescription = 0;
    std::uint16_t properties = 0;
    std::uint16_t displaySymbology = 0;
    std::uint16_t classBitmap = 0;
    std::uint16_t levels[4] = {};
    std::string description;  ///< up to 27 characters
};
bool encodeLibraryCellHeader(Bytes& out, const ElementCore& core, const LibraryCellHeader& cell);
std::optional<LibraryCellHeader> decodeLibraryCellHeader(const ElementView& e);

}  // namespace dgn
