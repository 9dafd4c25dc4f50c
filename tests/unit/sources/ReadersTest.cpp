// The input readers, case by case: an input text, what it yields (one line of text a feature)
// or the start of the message it is refused with.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "sources/GenerateReader.h"
#include "sources/Tokens.h"
#include "sources/XyReader.h"

using namespace sources;

namespace {

struct Case {
    const char* name;
    char format;  // 'A' generate, 'X' X,Y points, 'J' X,Y joined into lines
    std::string input;
    std::string expected;  // features, or "! message"
};

std::string describe(const Feature& f) {
    std::ostringstream out;
    out << (f.kind == Feature::Kind::Point ? "P " : "L ") << f.id << " @" << f.line;
    if (f.label) out << " label " << f.label->x << "," << f.label->y;
    if (f.continuation) out << " +";
    for (const Vertex& v : f.points) out << " " << v.x << "," << v.y;
    if (f.continues) out << " ...";
    return out.str() + "\n";
}

std::string read(const Case& c) {
    const std::string path = testing::TempDir() + "reader-input.txt";
    std::ofstream(path, std::ios::binary) << c.input;
    std::unique_ptr<FeatureSource> source;
    if (c.format == 'A') source = std::make_unique<GenerateReader>(path);
    else source = std::make_unique<XyReader>(path, c.format == 'J');
    std::string out;
    try {
        Feature f;
        while (source->next(f)) out += describe(f);
    } catch (const InputError& e) {
        const std::string message = e.what();
        out += "!" + message.substr(message.find(path) == 0 ? path.size() : 0);
    }
    for (const auto& note : source->notes()) out += "note " + note.substr(note.find(" line ")) + "\n";
    return out;
}

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
    {"X,Y: heading, ids and none", 'X', "x,y\n1.5,2.5\n\n7 3 4\n", "P 1 @2 1.5,2.5\nP 7 @4 3,4\nnote  line 1: 'x,y' read as column names and skipped\n"},
    {"X,Y: END ends the data", 'X', "1 2\nEND\n\n", "P 1 @1 1,2\n"},
    {"X,Y: text after END is refused", 'X', "1 2\nEND\n3 4\n", "P 1 @1 1,2\n! line 3: text after END (line 2), which ends the data; remove the END line or what follows it"},
    {"X,Y joined: runs of equal ids", 'J', "1 0 0\n1 5 5\n2 9 9\n2 9 0\n2 0 0\n", "L 1 @1 0,0 5,5\nL 2 @3 9,9 9,0 0,0\n"},
    {"X,Y joined: a run of one point", 'J', "1 0 0\n2 9 9\n2 9 0\n", "!id 1 (input line 1): a line needs at least two points"},
};

}  // namespace

TEST(Readers, Cases) {
    for (const Case& c : kCases) EXPECT_EQ(read(c), c.expected) << c.name;
}

TEST(Readers, LongLinesArriveInPieces) {
    std::string generate = "1\n", xy;
    const std::size_t count = 2 * kPieceVertices + 3;
    for (std::size_t i = 0; i < count; ++i) {
        generate += std::to_string(i) + " 0\n";
        xy += "4 " + std::to_string(i) + " 0\n";
    }
    generate += "END\nEND\n";
    for (const auto& [format, text] : {std::pair{'A', generate}, std::pair{'J', xy}}) {
        const std::string path = testing::TempDir() + "long-line.txt";
        std::ofstream(path) << text;
        std::unique_ptr<FeatureSource> source;
        if (format == 'A') source = std::make_unique<GenerateReader>(path);
        else source = std::make_unique<XyReader>(path, true);
        Feature f;
        std::vector<double> xs;
        std::vector<bool> flags;
        while (source->next(f)) {
            for (const Vertex& v : f.points) xs.push_back(v.x);
            flags.push_back(f.continuation);
            flags.push_back(f.continues);
        }
        ASSERT_EQ(xs.size(), count) << format;
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(xs[i], double(i)) << format;
        EXPECT_EQ(flags, (std::vector<bool>{false, true, true, true, true, false})) << format;
    }
}

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

TEST(Readers, ALineWithoutEndIsNotGathered) {
    const std::string path = testing::TempDir() + "no-line-end.bin";
    std::ofstream(path, std::ios::binary) << std::string(5 << 20, 'x');
    GenerateReader reader(path);
    Feature f;
    try {
        reader.next(f);
        ADD_FAILURE() << "read";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("line 1: longer than 4 MB"), std::string::npos) << e.what();
    }
}
