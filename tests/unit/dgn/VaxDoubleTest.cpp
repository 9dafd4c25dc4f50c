// D-floats against the format notes' test vectors.
#include <gtest/gtest.h>

#include <cmath>

#include "TestBytes.h"
#include "dgn/VaxDouble.h"

using namespace dgn;

TEST(VaxDouble, NotesVectorsAndLimits) {
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
