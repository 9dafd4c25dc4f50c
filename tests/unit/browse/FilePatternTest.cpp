#include "browse/FilePattern.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

using namespace mapfeed;

TEST(FilePattern, WildcardsWithoutRegardToCase) {
    EXPECT_TRUE(matchesPattern("roads.gen", "*.gen"));
    EXPECT_TRUE(matchesPattern("ROADS.GEN", "*.gen"));
    EXPECT_FALSE(matchesPattern("roads.gen.bak", "*.gen"));
    EXPECT_TRUE(matchesPattern("a1.dgn", "a?.dgn"));
    EXPECT_FALSE(matchesPattern("a.dgn", "a?.dgn"));
    EXPECT_TRUE(matchesPattern("x", "*"));
    EXPECT_TRUE(matchesPattern("aaab", "*a*b"));
    EXPECT_FALSE(matchesPattern("aaac", "*a*b"));
}

TEST(FilePattern, StarDotStarMatchesNamesWithoutADot) {
    EXPECT_TRUE(matchesPattern("README", "*.*"));
    EXPECT_TRUE(matchesPattern("a.b", "*.*"));
    EXPECT_FALSE(matchesPattern("README", "*.?*")) << "only the exact *.* is special";
}

TEST(FilePattern, SeveralPatternsAndEmpty) {
    EXPECT_TRUE(matchesPattern("b.dgn", "*.gen;*.dgn"));
    EXPECT_TRUE(matchesPattern("b.dgn", "*.gen; *.dgn"));
    EXPECT_FALSE(matchesPattern("b.ulf", "*.gen;*.dgn"));
    EXPECT_FALSE(matchesPattern("b.ulf", ""));
    EXPECT_FALSE(matchesPattern("b.ulf", ";"));
}

TEST(FilePattern, AQuestionMarkIsOneCharacterOfTheLocale) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, "C.UTF-8"));
    EXPECT_TRUE(matchesPattern("\xC3\xA9.gen", "?.gen"));  // é
    EXPECT_FALSE(matchesPattern("\xC3\xA9.gen", "??.gen"));
    EXPECT_TRUE(matchesPattern("a\xE2\x82\xAC" "b.gen", "*?b.gen"));  // a€b
    EXPECT_FALSE(matchesPattern("\xE2\x82\xAC.gen", "*??.gen"));
    // Not valid UTF-8: byte by byte where it is not.
    EXPECT_TRUE(matchesPattern("\xE9.gen", "?.gen"));
    EXPECT_TRUE(matchesPattern("\xE9\xC3\xA9.gen", "??.gen"));
    std::setlocale(LC_CTYPE, "C");
    EXPECT_TRUE(matchesPattern("\xC3\xA9.gen", "??.gen")) << "bytes in the C locale";
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(FilePattern, LongNamesStayLinear) {
    // A backtracking matcher would take exponential time on this shape.
    const std::string name(5000, 'a');
    EXPECT_FALSE(matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*b"));
}
