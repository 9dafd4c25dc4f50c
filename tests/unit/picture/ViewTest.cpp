#include "picture/View.h"

#include <gtest/gtest.h>

using namespace mapfeed::picture;

TEST(View, FitAllShowsTheWholeExtentCentred) {
    Box extent;
    extent.include(Place{500000, 4000000});
    extent.include(Place{1500000, 4010000});
    const View view = fitAll(extent, 400, 300);
    const Box shown = view.shown();
    EXPECT_LE(shown.xLow, extent.xLow);
    EXPECT_GE(shown.xHigh, extent.xHigh);
    EXPECT_LE(shown.yLow, extent.yLow);
    EXPECT_GE(shown.yHigh, extent.yHigh);
    EXPECT_DOUBLE_EQ(200, view.pixelX(1000000));
    // A single point still gets a scale a person can zoom from.
    Box point;
    point.include(Place{7, 7});
    EXPECT_GT(fitAll(point, 400, 300).unitsPerPixel, 0);
}

TEST(View, ZoomKeepsThePlaceUnderThePointerAndADragMovesThePlaneWithIt) {
    View view;
    view.width = 400;
    view.height = 300;
    view.unitsPerPixel = 10;
    const Place under = view.placeAt(50, 260);
    const View closer = zoomedAt(view, 50, 260, 4);
    EXPECT_DOUBLE_EQ(2.5, closer.unitsPerPixel);
    EXPECT_NEAR(under.x, closer.placeAt(50, 260).x, 1e-9);
    EXPECT_NEAR(under.y, closer.placeAt(50, 260).y, 1e-9);

    const View moved = dragged(view, 30, -20);
    EXPECT_NEAR(view.pixelX(under.x) + 30, moved.pixelX(under.x), 1e-9);
    EXPECT_NEAR(view.pixelY(under.y) - 20, moved.pixelY(under.y), 1e-9);
}

TEST(View, TheScaleBarIsARoundLengthThatFits) {
    View view;
    // At most 150 pixels: 150 m gives 100 m, 1.5 m gives 1 m, 6 km gives 5 km, 0.45 m gives 0.2 m.
    const std::pair<double, const char*> cases[] = {{1.0, "100 m"}, {0.01, "1 m"}, {40.0, "5 km"}, {0.003, "0.2 m"}};
    for (const auto& [unitsPerPixel, label] : cases) {
        view.unitsPerPixel = unitsPerPixel;
        const ScaleBar bar = scaleBar(view, 150, "m");
        EXPECT_EQ(label, bar.label) << unitsPerPixel;
        EXPECT_LE(bar.pixels, 150);
        EXPECT_GT(bar.pixels, 150 / 5.0 - 1e-9) << "no shorter than it needs to be";
    }
    EXPECT_EQ("20 ft", scaleBar([] { View v; v.unitsPerPixel = 0.2; return v; }(), 150, "ft").label);
}
