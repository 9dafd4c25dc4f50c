// Radix-50 against the format notes' test vectors.
#include <gtest/gtest.h>

#include "dgn/Radix50.h"

using namespace dgn;

TEST(Radix50, NotesVectors) {
    EXPECT_EQ(toRadix50("ABC", 1), (std::vector<std::uint16_t>{0x0693}));
    EXPECT_EQ(toRadix50("tree", 2), (std::vector<std::uint16_t>{0x7FD5, 0x1F40}));
    EXPECT_EQ(fromRadix50({0x7FD5, 0x1F40}), "TREE");
    EXPECT_FALSE(toRadix50("A-B", 1));
    EXPECT_FALSE(toRadix50("TOOLONG", 2));
}
