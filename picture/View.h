#pragma once

#include <string>

#include "picture/Picture.h"

namespace mapfeed::picture {

/// What part of the plane a drawing area shows: its centre and how many master units a pixel
/// is. Pixels count from the top left; the plane's y grows upwards.
struct View {
    double centerX = 0;
    double centerY = 0;
    double unitsPerPixel = 1;
    int width = 1;
    int height = 1;

    double pixelX(double x) const { return (x - centerX) / unitsPerPixel + width / 2.0; }
    double pixelY(double y) const { return height / 2.0 - (y - centerY) / unitsPerPixel; }
    Place placeAt(double px, double py) const {
        return {centerX + (px - width / 2.0) * unitsPerPixel, centerY + (height / 2.0 - py) * unitsPerPixel};
    }
    /// The plane's area that the view shows.
    Box shown() const;
};

/// The view of a `width` by `height` area that shows all of `extent`, with a margin.
View fitAll(const Box& extent, int width, int height);
/// Zoomed by `factor` (above 1: closer) about the pixel (px, py), which keeps its place.
View zoomedAt(const View& view, double px, double py, double factor);
/// Moved so that the plane follows a drag of (dx, dy) pixels.
View dragged(const View& view, double dx, double dy);

/// A scale bar: a round length (1, 2 or 5 times a power of ten) that takes at most `maxPixels`.
struct ScaleBar {
    double length = 0;  // master units
    double pixels = 0;
    std::string label;  // "200 m", "0.5 m", "20 km" with unit "m"
};
ScaleBar scaleBar(const View& view, double maxPixels, const std::string& unitName);

}  // namespace mapfeed::picture
