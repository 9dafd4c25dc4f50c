// What a design file draws: each kind of element as its shape in master units, on its level;
// what a run appended told apart; a file cut short or no design file at all told, not hidden.
#include "picture/DesignReading.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dgn/Elements.h"
#include "dgn/HeaderBlock.h"

using namespace mapfeed::picture;

namespace {

struct DesignFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("mapfeed-picture-" + std::to_string(::getpid()) + ".dgn");
    ~DesignFile() { std::filesystem::remove(path); }
    void write(const dgn::Bytes& bytes, std::size_t cut = SIZE_MAX) const {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(std::min(cut, bytes.size())));
    }
};

dgn::ElementCore onLevel(int level) {
    dgn::ElementCore core;
    core.level = level;
    return core;
}

}  // namespace

TEST(DesignReading, EachElementIsItsShapeInMasterUnitsAndAppendedOnesAreToldApart) {
    // 1000 UORs a metre, the global origin 500 km east.
    dgn::DesignUnits units;
    units.originX = -500000 * 1000.0;
    dgn::Bytes bytes = *dgn::encodeFixedHeader(units, {});
    const std::vector<dgn::Point> road{{0, 0}, {2000, 0}, {2000, 1000}};
    dgn::encodeMultiPoint(bytes, dgn::ElementType::LineString, onLevel(3), road);
    const std::size_t appendedFrom = bytes.size();
    dgn::ElementCore hole = onLevel(4);
    hole.properties = dgn::kPropertyHole;
    const std::vector<dgn::Point> ring{{0, 0}, {10, 0}, {10, 10}, {0, 0}};
    dgn::encodeMultiPoint(bytes, dgn::ElementType::Shape, hole, ring);
    dgn::encodeLine(bytes, onLevel(5), {7000, 8000}, {7000, 8000});
    dgn::Text text;
    text.heightMultiplier = 2000 * 1000 / 6;  // 2 m
    text.rotation = 90 * 360000;
    text.origin = {1000, 1000};
    text.characters = "WELL 7";
    dgn::encodeText(bytes, onLevel(6), text);
    const std::size_t end = bytes.size();
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);

    const DesignFile file;
    file.write(bytes);
    const DesignReading reading = readDesign(file.path, appendedFrom);
    ASSERT_EQ("", reading.problem);
    EXPECT_EQ(end, reading.endOffset);
    const Picture& picture = *reading.picture;
    ASSERT_EQ(4u, picture.shapes.size());
    EXPECT_EQ((std::set<int>{3, 4, 5, 6}), picture.levels);

    const Shape& line = picture.shapes[0];
    EXPECT_EQ(Shape::Kind::Line, line.kind);
    EXPECT_EQ(Layer::Design, line.layer);
    EXPECT_EQ((Place{500002, 1}), picture.places[line.first + 2]);
    EXPECT_EQ(Shape::Kind::Ring, picture.shapes[1].kind);
    EXPECT_TRUE(picture.shapes[1].hole);
    EXPECT_EQ(Layer::Appended, picture.shapes[1].layer);
    EXPECT_EQ(Shape::Kind::Point, picture.shapes[2].kind);
    const Shape& label = picture.shapes[3];
    EXPECT_EQ(Shape::Kind::Text, label.kind);
    EXPECT_EQ("WELL 7", label.text);
    EXPECT_NEAR(2.0, label.height, 1e-3);
    EXPECT_DOUBLE_EQ(90, label.angle);

    // Cut inside the text: what comes before it is drawn, and the damage is told.
    file.write(bytes, end - 5);
    const DesignReading cut = readDesign(file.path);
    EXPECT_EQ(3u, cut.picture->shapes.size());
    EXPECT_NE(std::string::npos, cut.problem.find("ends inside an element")) << cut.problem;

    file.write(dgn::Bytes(2000, 'x'));
    EXPECT_NE(std::string::npos, readDesign(file.path).problem.find("is not a design file")) << readDesign(file.path).problem;
    file.write({});
    EXPECT_TRUE(readDesign(file.path).empty);
    EXPECT_NE("", readDesign(file.path.string() + ".missing").problem);
}
