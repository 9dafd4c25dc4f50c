#include "picture/View.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mapfeed::picture {

namespace {

// Room around the data when fitting, so that nothing touches the edge.
constexpr double kFitMargin = 1.08;
// The closest and farthest a view goes: a picture never collapses to nothing nor to a point.
constexpr double kLeastUnitsPerPixel = 1e-6;
constexpr double kMostUnitsPerPixel = 1e12;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

Box View::shown() const {
    Box box;
    box.include(placeAt(0, 0));
    box.include(placeAt(width, height));
    return box;
}

View fitAll(const Box& extent, int width, int height) {
    View view;
    view.width = std::max(1, width);
    view.height = std::max(1, height);
    if (extent.empty) return view;
    view.centerX = (extent.xLow + extent.xHigh) / 2;
    view.centerY = (extent.yLow + extent.yHigh) / 2;
    const double fit = std::max(extent.width() / view.width, extent.height() / view.height) * kFitMargin;
    // A single point, or points in a line, still gets a sensible scale.
    view.unitsPerPixel = std::clamp(fit > 0 ? fit : 1.0, kLeastUnitsPerPixel, kMostUnitsPerPixel);
    return view;
}

View zoomedAt(const View& view, double px, double py, double factor) {
    const Place kept = view.placeAt(px, py);
    View zoomed = view;
    zoomed.unitsPerPixel = std::clamp(view.unitsPerPixel / factor, kLeastUnitsPerPixel, kMostUnitsPerPixel);
    // The place under the pointer stays under it.
    zoomed.centerX = kept.x - (px - view.width / 2.0) * zoomed.unitsPerPixel;
    zoomed.centerY = kept.y - (view.height / 2.0 - py) * zoomed.unitsPerPixel;
    return zoomed;
}

View dragged(const View& view, double dx, double dy) {
    View moved = view;
    moved.centerX -= dx * view.unitsPerPixel;
    moved.centerY += dy * view.unitsPerPixel;
    return moved;
}

ScaleBar scaleBar(const View& view, double maxPixels, const std::string& unitName) {
    ScaleBar bar;
    const double most = maxPixels * view.unitsPerPixel;
    if (!(most > 0) || !std::isfinite(most)) return bar;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * power <= most) {
            bar.length = step * power;
            break;
        }
    }
    bar.pixels = bar.length / view.unitsPerPixel;
    // Metres read as kilometres from a thousand on.
    if (unitName == "m" && bar.length >= 1000) bar.label = number(bar.length / 1000) + " km";
    else bar.label = number(bar.length) + " " + unitName;
    return bar;
}

}  // namespace mapfeed::picture
