// The input as the job would convert it: the converter's own rules, nothing written, and the
// likely mistake named when the job would fail.
#include "picture/InputReading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace mapfeed::picture;

TEST(InputReading, DrawsWhatTheJobWouldWriteAndNamesTheLikelyMistake) {
    const std::filesystem::path input =
        std::filesystem::temp_directory_path() / ("mapfeed-input-" + std::to_string(::getpid()) + ".gen");
    std::ofstream(input) << "1\n0 0\n100 0\nEND\n2\n0 50\n100 50\n100 80\nEND\nEND\n";
    DesignReading empty;
    empty.empty = true;
    const std::string path = input.string();

    const InputReading lines = readInput({"-I", path, "-D", "out.dgn", "-S", "A", "-P", "L", "-L", "9"}, empty);
    EXPECT_EQ("", lines.problem);
    ASSERT_EQ(2u, lines.picture->shapes.size());
    EXPECT_EQ(Shape::Kind::Line, lines.picture->shapes[0].kind);
    EXPECT_EQ(Layer::Input, lines.picture->shapes[0].layer);
    EXPECT_EQ(std::set<int>{9}, lines.picture->levels);
    EXPECT_NEAR(100, lines.picture->extent.xHigh, 1e-9) << "in master units, where the converter puts them";

    const InputReading points = readInput({"-I", path, "-D", "out.dgn", "-S", "A", "-P", "P", "-C", "2"}, empty);
    EXPECT_NE(std::string::npos, points.problem.find("lines read as points?")) << points.problem;

    const InputReading xy = readInput({"-I", path, "-D", "out.dgn", "-S", "X"}, empty);
    EXPECT_NE("", xy.problem) << "an Arc/Info file read as X,Y";
    std::filesystem::remove(input);
}
