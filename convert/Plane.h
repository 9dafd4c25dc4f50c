#pragma once
// The design plane of a file: its units of resolution a master unit and its global origin,
// and the mapping of input coordinates (master units) onto its whole-number UOR grid.
#include <cmath>
#include <optional>

#include "dgn/Element.h"

namespace convert {

/// The largest magnitude a coordinate of the plane may have (a range long's limits, less the
/// one value offset binary cannot mirror).
inline constexpr double kPlaneLimit = 2147483647.0;

inline bool inPlane(double uor) { return uor >= -kPlaneLimit && uor <= kPlaneLimit; }

struct DesignPlane {
    double uorsPerMaster = 1000;
    double originX = 0, originY = 0;  ///< in UORs

    /// (x, y) in master units on the plane, rounded to the nearest UOR; nullopt outside it.
    std::optional<dgn::Point> toUor(double x, double y) const {
        const double ux = std::floor(x * uorsPerMaster + originX + 0.5);
        const double uy = std::floor(y * uorsPerMaster + originY + 0.5);
        if (!inPlane(ux) || !inPlane(uy)) return std::nullopt;
        return dgn::Point{static_cast<std::int32_t>(ux), static_cast<std::int32_t>(uy)};
    }
};

}  // namespace convert
