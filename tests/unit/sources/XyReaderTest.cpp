// X,Y text, as points and joined into lines, case by case.
#include <gtest/gtest.h>

#include "ReaderCases.h"

using namespace sources_test;

namespace {

const Case kCases[] = {
    {"X,Y: heading, ids and none", 'X', "x,y\n1.5,2.5\n\n7 3 4\n", "P 1 @2 1.5,2.5\nP 7 @4 3,4\nnote  line 1: 'x,y' read as column names and skipped\n"},
    {"X,Y: END ends the data", 'X', "1 2\nEND\n\n", "P 1 @1 1,2\n"},
    {"X,Y: text after END is refused", 'X', "1 2\nEND\n3 4\n", "P 1 @1 1,2\n! line 3: text after END (line 2), which ends the data; remove the END line or what follows it"},
    {"X,Y joined: runs of equal ids", 'J', "1 0 0\n1 5 5\n2 9 9\n2 9 0\n2 0 0\n", "L 1 @1 0,0 5,5\nL 2 @3 9,9 9,0 0,0\n"},
    {"X,Y joined: a run of one point", 'J', "1 0 0\n2 9 9\n2 9 0\n", "!id 1 (input line 1): a line needs at least two points"},
};

}  // namespace

TEST(XyReader, Cases) {
    for (const Case& c : kCases) EXPECT_EQ(read(c), c.expected) << c.name;
}

TEST(XyReader, LongLinesArriveInPieces) {
    const std::size_t count = 2 * kPieceVertices + 3;
    std::vector<double> xs;
    std::vector<bool> flags;
    readLongLine('J', count, xs, flags);
    ASSERT_EQ(xs.size(), count);
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(xs[i], double(i));
    EXPECT_EQ(flags, (std::vector<bool>{false, true, true, true, true, false}));
}
