#include "picture/ElementShapes.h"

#include <vector>

#include "dgn/Bytes.h"
#include "dgn/Elements.h"

namespace mapfeed::picture {

namespace {

std::vector<Place> placesOf(const std::vector<dgn::Point>& points, const Units& units) {
    std::vector<Place> places;
    places.reserve(points.size());
    for (const dgn::Point& p : points)
        places.push_back({(p.x - units.originX) / units.uorsPerMaster, (p.y - units.originY) / units.uorsPerMaster});
    return places;
}

}  // namespace

void addElement(Picture& picture, const dgn::ElementView& element, const Units& units, Layer layer) {
    if (element.deleted()) return;
    Shape shape;
    shape.layer = layer;
    shape.level = element.level();
    switch (static_cast<dgn::ElementType>(element.type())) {
        case dgn::ElementType::Line: {
            const auto points = dgn::decodeLine(element);
            if (!points) return;
            shape.kind = points->at(0) == points->at(1) ? Shape::Kind::Point : Shape::Kind::Line;
            picture.add(std::move(shape), placesOf(*points, units));
            return;
        }
        case dgn::ElementType::LineString:
        case dgn::ElementType::Shape:
        case dgn::ElementType::Curve: {
            auto points = dgn::decodeMultiPoint(element);
            if (!points || points->empty()) return;
            if (element.type() == static_cast<std::uint8_t>(dgn::ElementType::Curve) && points->size() > 4) {
                // The first and the last two points only steer the curve's ends.
                points->erase(points->end() - 2, points->end());
                points->erase(points->begin(), points->begin() + 2);
            }
            if (element.type() == static_cast<std::uint8_t>(dgn::ElementType::Shape)) {
                shape.kind = Shape::Kind::Ring;
                shape.hole = element.hasDisplay() && (element.properties() & dgn::kPropertyHole) != 0;
            }
            picture.add(std::move(shape), placesOf(*points, units));
            return;
        }
        case dgn::ElementType::Text: {
            const auto text = dgn::decodeText(element);
            if (!text) return;
            shape.kind = Shape::Kind::Text;
            shape.text = text->characters;
            shape.height = text->heightMultiplier * 6.0 / 1000 / units.uorsPerMaster;
            shape.angle = text->rotation / 360000.0;
            picture.add(std::move(shape), placesOf({text->origin}, units));
            return;
        }
        default: return;
    }
}

void addElements(Picture& picture, std::span<const std::uint8_t> bytes, const Units& units, Layer layer) {
    for (std::size_t at = 0; at + 4 <= bytes.size();) {
        const std::size_t length = 4 + 2 * std::size_t{dgn::getWord(bytes.data() + at + 2)};
        if (at + length > bytes.size()) return;
        addElement(picture, dgn::ElementView(bytes.data() + at, length), units, layer);
        at += length;
    }
}

}  // namespace mapfeed::picture
