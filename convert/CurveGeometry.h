#pragma once
// The geometry of curve elements (type 11). A curve stores its vertices with two steering
// points at each end; a reader draws it through the vertices as Akima cubics, one a segment,
// whose tangents come from the neighbouring slopes. Each cubic lies inside the hull of its
// Bezier control points, so the range built from those encloses what is drawn.
#include <optional>
#include <span>

#include "dgn/Element.h"

namespace convert {

/// Bounds in UORs, unrounded.
struct Bounds {
    double xLow, yLow, xHigh, yHigh;
};

/// The bounds of a curve's stored points (steering points included) and of every drawn
/// segment's control points. stored holds at least six points.
Bounds curveBounds(std::span<const dgn::Point> stored);

/// A steering point beyond an end: from, continued k times the step from towards.
/// nullopt when it leaves the design plane.
std::optional<dgn::Point> extrapolated(dgn::Point from, dgn::Point towards, int k);

/// b rounded outwards to whole UORs; nullopt when it leaves the design plane.
std::optional<dgn::Range> rangeOf(const Bounds& b);

}  // namespace convert
