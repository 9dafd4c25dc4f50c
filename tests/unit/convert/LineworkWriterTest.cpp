// Lines of every length into elements: one element while it fits, complex chains of pieces
// sharing their end points beyond, several chains beyond one chain's length; curves with two
// steering points at each end of every piece.
#include <gtest/gtest.h>

#include "convert/LineworkWriter.h"
#include "dgn/Elements.h"

using namespace convert;
using dgn::ElementType;

namespace {

struct Written {
    std::vector<int> types;
    std::vector<std::size_t> vertices;
    std::vector<dgn::Point> drawn;  ///< the vertices of the pieces, steering points left out
    std::size_t chains = 0;
};

Written write(long count, bool curve) {
    dgn::Bytes out;
    LineworkWriter writer(out, curve, dgn::ElementCore{}, {}, [] { throw std::runtime_error("outside"); });
    for (long i = 0; i < count; ++i) writer.add({std::int32_t(i * 10), std::int32_t(i % 3)});
    Written w;
    w.chains = writer.finish();
    for (std::size_t at = 0; at < out.size(); at += 4 + 2 * std::size_t{dgn::getWord(&out[at + 2])}) {
        const dgn::ElementView e(&out[at], 4 + 2 * std::size_t{dgn::getWord(&out[at + 2])});
        w.types.push_back(e.type());
        if (e.type() == 12) continue;
        const auto points = *dgn::decodeMultiPoint(e);
        w.vertices.push_back(points.size());
        const std::size_t pad = curve ? 2 : 0;
        const std::size_t skip = w.drawn.empty() ? 0 : 1;  // pieces share their end points
        w.drawn.insert(w.drawn.end(), points.begin() + long(pad + skip), points.end() - long(pad));
    }
    return w;
}

}  // namespace

TEST(LineworkWriter, LengthsIntoElements) {
    struct Case { long count; bool curve; std::vector<int> types; std::vector<std::size_t> vertices; };
    const Case cases[] = {
        {2, false, {4}, {2}},
        {101, false, {4}, {101}},
        {102, false, {12, 4, 4}, {101, 2}},
        {250, false, {12, 4, 4, 4}, {101, 101, 50}},
        {2, true, {11}, {6}},
        {97, true, {11}, {101}},
        {98, true, {12, 11, 11}, {101, 6}},
    };
    for (const Case& c : cases) {
        const Written w = write(c.count, c.curve);
        EXPECT_EQ(w.types, c.types) << c.count << (c.curve ? " curve" : "");
        EXPECT_EQ(w.vertices, c.vertices) << c.count << (c.curve ? " curve" : "");
        ASSERT_EQ(w.drawn.size(), std::size_t(c.count));
        for (long i = 0; i < c.count; ++i) ASSERT_EQ(w.drawn[std::size_t(i)], (dgn::Point{std::int32_t(i * 10), std::int32_t(i % 3)}));
    }
}

TEST(LineworkWriter, BeyondOneChainSeveralChains) {
    for (bool curve : {false, true}) {
        const Written w = write(40000, curve);
        EXPECT_EQ(w.chains, 3u) << curve;
        ASSERT_EQ(w.drawn.size(), 40000u) << curve;  // each chain starts at the last one's end
        for (std::size_t i = 0; i < w.drawn.size(); ++i) ASSERT_EQ(w.drawn[i].x, std::int32_t(i * 10)) << curve;
    }
}

TEST(LineworkWriter, SteeringPointsContinueTheEndSegments) {
    dgn::Bytes out;
    LineworkWriter writer(out, true, dgn::ElementCore{}, {}, [] { throw std::runtime_error("outside"); });
    writer.add({0, 0});
    writer.add({10, 0});
    writer.add({10, 5});
    writer.finish();
    EXPECT_EQ(*dgn::decodeMultiPoint({out.data(), out.size()}),
              (std::vector<dgn::Point>{{-20, 0}, {-10, 0}, {0, 0}, {10, 0}, {10, 5}, {10, 10}, {10, 15}}));
    LineworkWriter far(out, true, dgn::ElementCore{}, {}, [] { throw std::runtime_error("outside"); });
    far.add({0, 0});
    far.add({2000000000, 0});
    EXPECT_THROW(far.finish(), std::runtime_error);
}
