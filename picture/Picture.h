#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace mapfeed::picture {

/// A place in the design file's master units.
struct Place {
    double x = 0;
    double y = 0;
    bool operator==(const Place&) const = default;
};

/// An area in master units; empty until something is included.
struct Box {
    double xLow = 0, yLow = 0, xHigh = 0, yHigh = 0;
    bool empty = true;

    void include(Place p);
    void include(const Box& other);
    bool intersects(const Box& other) const;
    double width() const { return empty ? 0 : xHigh - xLow; }
    double height() const { return empty ? 0 : yHigh - yLow; }
};

/// Where a shape comes from, which decides how it is drawn: the design file's elements dimmed,
/// the input as the job would convert it in colour, and what the last run appended highlighted.
enum class Layer { Design, Input, Appended };

/// One thing to draw: a line, a closed ring, a point, or a text.
struct Shape {
    enum class Kind { Line, Ring, Point, Text };
    Kind kind = Kind::Line;
    Layer layer = Layer::Design;
    int level = 0;
    std::uint32_t first = 0;  // into Picture::places
    std::uint32_t count = 0;
    bool hole = false;  // a ring that is a hole of the polygon before it
    std::string text;   // a text's characters, at its first place
    double height = 0;  // a text's height in master units
    double angle = 0;   // a text's angle in degrees, anticlockwise
    Box box;
};

/// Everything one view draws, and what the window tells about it.
struct Picture {
    std::vector<Place> places;
    std::vector<Shape> shapes;
    Box extent;
    std::set<int> levels;
    std::string unitName = "m";  // the master unit's name, for the scale bar

    /// Adds a shape of `places`, and its extent and level.
    Shape& add(Shape shape, const std::vector<Place>& of);
    /// Adds everything of `other`, its places moved along.
    void append(const Picture& other);
};

}  // namespace mapfeed::picture
