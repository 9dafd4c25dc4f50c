// The fixed header elements of a new file, at the offsets GDAL's public seed files use.
#include <gtest/gtest.h>

#include "TestBytes.h"
#include "dgn/HeaderBlock.h"
#include "dgn/VaxDouble.h"

using namespace dgn;

TEST(HeaderBlock, NewHeaderHoldsUnitsOriginViewsAndScale) {
    DesignUnits units;
    units.originX = -1000000;
    units.originY = 2000000;
    const auto bytes = encodeFixedHeader(units, {0, 0, 10000, 5000});
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 2048u);
    const std::uint8_t* b = bytes->data();
    EXPECT_EQ(Bytes(b, b + 4), hexBytes("08 09 fe 02"));                  // level 8, type 9, 766 words
    EXPECT_EQ(Bytes(b + 1536, b + 1540), hexBytes("00 08 b0 00"));        // digitizer setup, 176 words
    EXPECT_EQ(Bytes(b + 1892, b + 1896), hexBytes("00 0a 4c 00"));        // level symbology, 76 words
    EXPECT_EQ(Bytes(b + 1112, b + 1124), hexBytes("00 00 e8 03 00 00 01 00 6d 20 6d 6d"));
    EXPECT_EQ(fromVax(b + 1240), -1000000.0);
    EXPECT_EQ(fromVax(b + 1248), 2000000.0);
    EXPECT_EQ(fromVax(b + 1140), 1.0);  // active scale
    for (int view = 0; view < 8; ++view) {
        const std::uint8_t* v = b + 46 + 118 * view;
        for (int i = 0; i < 9; ++i) EXPECT_EQ(fromVax(v + 34 + 8 * i), i == 0 || i == 3 ? 1.0 : 0.0) << view << i;  // 2x2 identity
        EXPECT_LE(getLong(v + 10), 0);
        EXPECT_GE(getLong(v + 10) + getLong(v + 22), 10000);
    }

    const auto read = decodeHeaderBlock(b, bytes->size());
    ASSERT_TRUE(read.units) << read.problem;
    EXPECT_EQ(read.units->uorsPerMaster(), 1000.0);
    EXPECT_EQ(read.units->masterName, "m");
    EXPECT_EQ(read.units->originY, 2000000.0);
    EXPECT_FALSE(read.units->threeD);
}

TEST(HeaderBlock, RefusesWhatIsNoHeaderBlock) {
    const Bytes text(2000, 'x');
    EXPECT_FALSE(decodeHeaderBlock(text.data(), text.size()).units);
    DesignUnits far;
    far.originX = 1e39;
    EXPECT_FALSE(encodeFixedHeader(far, {}));
}
