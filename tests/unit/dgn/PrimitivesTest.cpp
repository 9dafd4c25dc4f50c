// Longs, range longs, D-floats and Radix-50 against the format notes' test vectors.
#include <gtest/gtest.h>

#include <cmath>

#include "TestBytes.h"
#include "dgn/Radix50.h"
#include "dgn/VaxDouble.h"

using namespace dgn;

TEST(Primitives, LongsAreMiddleEndian) {
    Bytes out;
    putLong(out, 0x12345678);
    EXPECT_EQ(out, hexBytes("34 12 78 56"));
    EXPECT_EQ(getLong(out.data()), 0x12345678);
    std::uint8_t range[4];
    setRangeLong(range, 0);
    EXPECT_EQ(Bytes(range, range + 4), hexBytes("00 80 00 00"));
    setRangeLong(range, -1);
    EXPECT_EQ(Bytes(range, range + 4), hexBytes("ff 7f ff ff"));
    EXPECT_EQ(getRangeLong(range), -1);
}

TEST(Primitives, VaxDoubles) {
    struct Case { double value; const char* bytes; };
    for (const Case& c : {Case{1.0, "80 40 00 00 00 00 00 00"}, Case{-2.5, "20 c1 00 00 00 00 00 00"},
                          Case{0.0, "00 00 00 00 00 00 00 00"}}) {
        const auto vax = toVax(c.value);
        ASSERT_TRUE(vax) << c.value;
        EXPECT_EQ(Bytes(vax->begin(), vax->end()), hexBytes(c.bytes)) << c.value;
        EXPECT_EQ(fromVax(vax->data()), c.value);
    }
    const double origin = -2147483648.5;
    EXPECT_EQ(fromVax(toVax(origin)->data()), origin);
    EXPECT_FALSE(toVax(1e39));
    EXPECT_FALSE(toVax(INFINITY));
    EXPECT_FALSE(toVax(NAN));
}

TEST(Primitives, Radix50) {
    EXPECT_EQ(toRadix50("ABC", 1), (std::vector<std::uint16_t>{0x0693}));
    EXPECT_EQ(toRadix50("tree", 2), (std::vector<std::uint16_t>{0x7FD5, 0x1F40}));
    EXPECT_EQ(fromRadix50({0x7FD5, 0x1F40}), "TREE");
    EXPECT_FALSE(toRadix50("A-B", 1));
    EXPECT_FALSE(toRadix50("TOOLONG", 2));
}
