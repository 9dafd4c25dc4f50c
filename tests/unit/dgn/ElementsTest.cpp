// Elements against byte vectors worked out by hand from the public format description: the
// cell header and its line component are the worked example of the format notes; the others
// were laid out field by field the same way (offsets and encodings in the comments).
#include <gtest/gtest.h>

#include "TestBytes.h"
#include "dgn/Elements.h"
#include "dgn/Linkage.h"

using namespace dgn;

namespace {

ElementCore cellRange(bool complex) {
    ElementCore core;
    core.level = 1;
    core.complex = complex;
    core.range = {900, 1900, 1100, 2100};
    return core;
}

const char* kCellHeader =
    "01 02 2c 00 00 80 84 03 00 80 6c 07 00 80 00 00 00 80 4c 04 00 80 34 08 00 80 00 00 00 00 1e 00 "
    "00 00 00 00 35 00 d5 7f 40 1f 00 00 01 00 00 00 00 00 00 00 ff ff 9c ff ff ff 9c ff 00 00 64 00 "
    "00 00 64 00 03 00 dc 46 00 00 00 00 00 00 00 00 03 00 dc 46 00 00 e8 03 00 00 d0 07";
const char* kCellLine =
    "81 03 18 00 00 80 84 03 00 80 6c 07 00 80 00 00 00 80 4c 04 00 80 34 08 00 80 00 00 00 00 0a 00 "
    "00 00 00 00 00 00 84 03 00 00 6c 07 00 00 4c 04 00 00 34 08";

// Level 12, type 4, 31 words in all; range (0,0)-(10,0); attribute index 11, the A bit,
// style 2 | weight 4 << 3, color 6; two vertices; DMRS entity 1, mslink 100.
const char* kLineString =
    "0c 04 1d 00 00 80 00 00 00 80 00 00 00 80 00 00 00 80 0a 00 00 80 00 00 00 80 00 00 00 00 0b 00 "
    "00 08 22 06 02 00 00 00 00 00 00 00 00 00 00 00 0a 00 00 00 00 00 00 00 01 00 64 00 00 01";

// Level 5, type 17: font 3, justification 7, multipliers 333333 (2000 UORs * 1000 / 6), no
// rotation, origin (-5, 7), two characters.
const char* kText =
    "05 11 1d 00 ff 7f fb ff 00 80 07 00 00 80 00 00 00 80 9b 0f 00 80 d7 07 00 80 00 00 00 00 0f 00 "
    "00 00 00 00 03 07 05 00 15 16 05 00 15 16 00 00 00 00 ff ff fb ff 00 00 07 00 02 00 31 32";

// Level 3, type 12: 7 components of 2000 words in all, padded with four empty words.
const char* kComplexChain =
    "03 0c 16 00 00 80 00 00 00 80 00 00 00 80 00 00 00 80 64 00 00 80 64 00 00 80 00 00 00 00 08 00 "
    "00 00 00 00 d5 07 07 00 00 00 00 00 00 00 00 00";

}  // namespace

TEST(Elements, CellHeaderAndComponentMatchTheWorkedExample) {
    CellHeader cell;
    cell.name = "TREE";
    cell.levels[0] = 1;
    cell.rangeLow = {-100, -100};
    cell.rangeHigh = {100, 100};
    cell.matrix[0] = cell.matrix[3] = 214748;
    cell.origin = {1000, 2000};
    Bytes out;
    ASSERT_TRUE(encodeCellHeader(out, cellRange(false), cell, 26));
    EXPECT_EQ(out, hexBytes(kCellHeader));
    const auto back = decodeCellHeader({out.data(), out.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "TREE");
    EXPECT_EQ(back->totalLength, 53);
    EXPECT_EQ(back->origin, (Point{1000, 2000}));
    EXPECT_EQ(back->rangeLow, (Point{-100, -100}));

    Bytes line;
    encodeLine(line, cellRange(true), {900, 1900}, {1100, 2100});
    EXPECT_EQ(line, hexBytes(kCellLine));
}

TEST(Elements, LineStringWithDmrsLinkage) {
    ElementCore core;
    core.level = 12;
    core.range = {0, 0, 10, 0};
    core.symbology = {2, 4, 6};
    const Point points[] = {{0, 0}, {10, 0}};
    const auto linkage = encodeDmrs({1, 100});
    Bytes out;
    encodeMultiPoint(out, ElementType::LineString, core, points, linkage);
    EXPECT_EQ(out, hexBytes(kLineString));

    const ElementView view(out.data(), out.size());
    EXPECT_EQ(view.level(), 12);
    EXPECT_EQ(view.range(), core.range);
    EXPECT_EQ(view.symbology(), core.symbology);
    EXPECT_EQ(decodeMultiPoint(view), (std::vector<Point>{{0, 0}, {10, 0}}));
    EXPECT_EQ(decodeDmrs(view.linkage()), (std::vector<DmrsLinkage>{{1, 100}}));
}

TEST(Elements, Text) {
    ElementCore core;
    core.level = 5;
    core.range = {-5, 7, 3995, 2007};
    Text text;
    text.font = 3;
    text.justification = 7;
    text.lengthMultiplier = text.heightMultiplier = 333333;
    text.origin = {-5, 7};
    text.characters = "12";
    Bytes out;
    encodeText(out, core, text);
    EXPECT_EQ(out, hexBytes(kText));
    const auto back = decodeText({out.data(), out.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->characters, "12");
    EXPECT_EQ(back->origin, (Point{-5, 7}));
    EXPECT_EQ(back->heightMultiplier, 333333);
}

TEST(Elements, ComplexChainHeaderCountsItsComponents) {
    ElementCore core;
    core.level = 3;
    core.range = {0, 0, 100, 100};
    Bytes out;
    ASSERT_TRUE(encodeComplexHeader(out, ElementType::ComplexChain, core, 7, 2000));
    EXPECT_EQ(out, hexBytes(kComplexChain));  // total length 5 + 2000 = 0x07d5
    EXPECT_FALSE(encodeComplexHeader(out, ElementType::ComplexChain, core, 7, 65531));
}

TEST(Elements, TextNodeCountsItsHeaderLinkageAndTexts) {
    TextNode node;
    node.count = 1;
    node.number = 9;
    node.origin = {1, 2};
    const auto linkage = encodeDmrs({1, 7});
    Bytes out;
    encodeTextNode(out, ElementCore{}, node, 31, linkage);
    ASSERT_EQ(out.size(), 78u);
    const auto back = decodeTextNode({out.data(), out.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->totalLength, 16 + 4 + 31);  // (70 - 38) / 2 words, the linkage, the text
    EXPECT_EQ(back->number, 9);
    EXPECT_EQ(back->origin, (Point{1, 2}));
}

TEST(Elements, LibraryCellHeaderHasNoDisplayHeader) {
    LibraryCellHeader cell;
    cell.name = "ABC";
    cell.description = "A TREE";
    Bytes out;
    ASSERT_TRUE(encodeLibraryCellHeader(out, ElementCore{}, cell));
    ASSERT_EQ(out.size(), 70u);
    EXPECT_EQ(out[32], 0x93);  // 'ABC' = 1*1600 + 2*40 + 3 = 0x0693
    EXPECT_EQ(out[33], 0x06);
    const auto back = decodeLibraryCellHeader({out.data(), out.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "ABC");
    EXPECT_EQ(back->description, "A TREE");
}
