#include "picture/Picture.h"

#include <algorithm>

namespace mapfeed::picture {

void Box::include(Place p) {
    if (empty) {
        *this = {p.x, p.y, p.x, p.y, false};
        return;
    }
    xLow = std::min(xLow, p.x);
    yLow = std::min(yLow, p.y);
    xHigh = std::max(xHigh, p.x);
    yHigh = std::max(yHigh, p.y);
}

void Box::include(const Box& other) {
    if (other.empty) return;
    include(Place{other.xLow, other.yLow});
    include(Place{other.xHigh, other.yHigh});
}

bool Box::intersects(const Box& other) const {
    return !empty && !other.empty && xLow <= other.xHigh && other.xLow <= xHigh && yLow <= other.yHigh &&
           other.yLow <= yHigh;
}

Shape& Picture::add(Shape shape, const std::vector<Place>& of) {
    shape.first = static_cast<std::uint32_t>(places.size());
    shape.count = static_cast<std::uint32_t>(of.size());
    shape.box = {};
    for (const Place& p : of) shape.box.include(p);
    places.insert(places.end(), of.begin(), of.end());
    extent.include(shape.box);
    levels.insert(shape.level);
    shapes.push_back(std::move(shape));
    return shapes.back();
}

void Picture::append(const Picture& other) {
    const auto moved = static_cast<std::uint32_t>(places.size());
    places.insert(places.end(), other.places.begin(), other.places.end());
    for (Shape shape : other.shapes) {
        shape.first += moved;
        shapes.push_back(std::move(shape));
    }
    extent.include(other.extent);
    levels.insert(other.levels.begin(), other.levels.end());
}

}  // namespace mapfeed::picture
