// Longs and range longs against the format notes' test vectors.
#include <gtest/gtest.h>

#include "TestBytes.h"

using namespace dgn;

TEST(Bytes, LongsAreMiddleEndian) {
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
