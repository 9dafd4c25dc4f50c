// The drawing of a picture, told by its pixels: each layer in its colour, hidden levels and
// shapes outside the view left out, a shape smaller than a pixel still seen, and the scale bar.
#include "platform/PictureDrawing.h"

#include <gtest/gtest.h>

using namespace mapfeed;
using picture::Layer;
using picture::Place;
using picture::Shape;

namespace {

Shape shapeOf(Shape::Kind kind, Layer layer, int level) {
    Shape shape;
    shape.kind = kind;
    shape.layer = layer;
    shape.level = level;
    return shape;
}

/// A view of 200 by 100 pixels, one master unit a pixel, (0, 0) in the middle.
picture::View smallView() {
    picture::View view;
    view.width = 200;
    view.height = 100;
    return view;
}

QColor at(const QImage& image, double x, double y) { return image.pixelColor(static_cast<int>(x), static_cast<int>(y)); }
/// Whether a pixel next to (x, y), or that one, is so: lines are smoothed across pixels.
template <typename Test>
bool near(const QImage& image, int x, int y, Test test) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (test(image.pixelColor(x + dx, y + dy))) return true;
    return false;
}
bool isWhite(const QColor& c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }
bool isBlue(const QColor& c) { return c.blue() > c.red() + 60; }
bool isOrange(const QColor& c) { return c.red() > c.blue() + 100 && c.green() < 160; }
bool isGrey(const QColor& c) { return !isWhite(c) && std::abs(c.red() - c.blue()) < 20; }

}  // namespace

TEST(PictureDrawing, EachLayerInItsColourWhatIsHiddenOrElsewhereLeftOut) {
    picture::Picture picture;
    picture.add(shapeOf(Shape::Kind::Line, Layer::Design, 1), {{-90, 30}, {90, 30}});        // y 20
    picture.add(shapeOf(Shape::Kind::Line, Layer::Input, 2), {{-90, 0}, {90, 0}});           // y 50
    picture.add(shapeOf(Shape::Kind::Point, Layer::Appended, 3), {{30, -25}});               // (130, 75)
    picture.add(shapeOf(Shape::Kind::Line, Layer::Input, 4), {{-90, -40}, {90, -40}});       // y 90, hidden
    picture.add(shapeOf(Shape::Kind::Line, Layer::Input, 2), {{500, 500}, {600, 500}});      // far away
    // A thousand vertices inside one pixel: still a dot.
    std::vector<Place> tiny;
    for (int i = 0; i < 1000; ++i) tiny.push_back({60 + i * 1e-4, -20});
    picture.add(shapeOf(Shape::Kind::Line, Layer::Appended, 5), tiny);                         // (160, 70)

    const QImage image = drawPicture(picture, smallView(), {4});
    ASSERT_EQ(QSize(200, 100), image.size());
    EXPECT_TRUE(near(image, 100, 20, isGrey)) << at(image, 100, 20).name().toStdString();
    EXPECT_TRUE(near(image, 100, 50, isBlue)) << at(image, 100, 50).name().toStdString();
    EXPECT_TRUE(near(image, 130, 75, isOrange)) << at(image, 130, 75).name().toStdString();
    EXPECT_FALSE(near(image, 100, 90, [](const QColor& c) { return !isWhite(c); })) << "level 4 is hidden";
    EXPECT_TRUE(near(image, 160, 70, isOrange)) << at(image, 160, 70).name().toStdString();
}

TEST(PictureDrawing, AScaleBarInTheCornerAndTextAtItsSize) {
    picture::Picture picture;
    Shape label = shapeOf(Shape::Kind::Text, Layer::Input, 1);
    label.text = "MMMM";
    label.height = 20;
    picture.add(label, {{-40, -10}});  // its baseline at y 60, from x 60
    const QImage image = drawPicture(picture, smallView(), {});
    int inked = 0;
    for (int x = 60; x < 120; ++x)
        for (int y = 42; y < 60; ++y) inked += isBlue(image.pixelColor(x, y));
    EXPECT_GT(inked, 50) << "the text is drawn about 20 pixels high above its origin";
    int bar = 0;
    for (int x = 0; x < 100; ++x) bar += image.pixelColor(x, 100 - 14).black() > 200;
    EXPECT_GT(bar, 10) << "a black scale bar near the bottom left";
}
