// Numbers and fields as the input formats write them.
#include <gtest/gtest.h>

#include <cmath>

#include "sources/Tokens.h"

using namespace sources;

TEST(Tokens, NumbersAndFields) {
    EXPECT_EQ(parseNumber("+1.5e2"), 150.0);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("-5."), -5.0);
    EXPECT_EQ(parseNumber("1e999"), HUGE_VAL);
    for (const char* bad : {"inf", "nan", "1e", "0x10", "1,5", "", "-", "1d3"}) EXPECT_FALSE(parseNumber(bad)) << bad;
    std::vector<std::string_view> fields;
    splitFields("  12 , 1010.5,2010.25  ", fields);
    EXPECT_EQ(fields, (std::vector<std::string_view>{"12", "1010.5", "2010.25"}));
    splitFields("1,,2,", fields);
    EXPECT_EQ(fields, (std::vector<std::string_view>{"1", "", "2"}));
}

