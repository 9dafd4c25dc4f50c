// Arc/Info generate text, case by case.
#include <gtest/gtest.h>

#include "ReaderCases.h"

using namespace sources_test;

namespace {

const Case kCases[] = {
    {"points with commas and blanks", 'A', "11 1000.5 2000\n12, 1010.5, 2010.25\nEND\n",
     "P 11 @1 1000.5,2000\nP 12 @2 1010.5,2010.25\n"},
    {"a line, a polygon with its label, a point between", 'A',
     "1\n0 0\n10,0\nEND\n7 1 2\n3 4\nEND\n5 5 5\n2\n1 1\n2 2\nEND\nEND\n",
     "L 1 @1 0,0 10,0\n! line 7: record 7 has fewer than two vertices"},
    {"label points and points told apart by what follows", 'A',
     "7 1 2\n0 0\n3 4\nEND\n5 5 5\n\n2\n1 1\n2 2\nend\nEND\n",
     "L 7 @1 label 1,2 0,0 3,4\nP 5 @5 5,5\nL 2 @7 1,1 2,2\n"},
    {"a byte-order mark and CRLF line ends", 'A', "\xEF\xBB\xBF" "1 2 3\r\nEND\r\n", "P 1 @1 2,3\n"},
    {"text after the final END", 'A', "1 2 3\nEND\n4 5 6\n", "P 1 @1 2,3\n! line 3: text after the final END (line 2)"},
    {"no final END", 'A', "1\n0 0\n1 1\nEND\n", "L 1 @1 0,0 1,1\n! does not end with the final END line (cut short?)"},
    {"a record not ended", 'A', "1\n0 0\n1 1\n", "! line 3: record 1 (line 1) is not ended by END"},
    {"a control character quoted visibly", 'A', "1\n0 0\n5 \x01\nEND\nEND\n",
     "! line 3: expected 'x y' or END in record 1, found '5 \\x01'"},
};

}  // namespace

TEST(GenerateReader, Cases) {
    for (const Case& c : kCases) EXPECT_EQ(read(c), c.expected) << c.name;
}

TEST(GenerateReader, LongLinesArriveInPieces) {
    const std::size_t count = 2 * kPieceVertices + 3;
    std::vector<double> xs;
    std::vector<bool> flags;
    readLongLine('A', count, xs, flags);
    ASSERT_EQ(xs.size(), count);
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(xs[i], double(i));
    EXPECT_EQ(flags, (std::vector<bool>{false, true, true, true, true, false}));
}
