#include "convert/CurveGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "convert/Plane.h"

namespace convert {
namespace {

// Akima's tangent of one coordinate at a vertex from the slopes of the two segments before
// and the two after it.
double akima(double m0, double m1, double m2, double m3) {
    const double w1 = std::fabs(m3 - m2), w2 = std::fabs(m1 - m0);
    if (w1 == 0 && w2 == 0) return (m1 + m2) / 2;
    return (m1 * w1 + m2 * w2) / (w1 + w2);
}

}  // namespace

Bounds curveBounds(std::span<const dgn::Point> p) {
    Bounds b{double(p[0].x), double(p[0].y), double(p[0].x), double(p[0].y)};
    const auto include = [&b](double x, double y) {
        b.xLow = std::min(b.xLow, x);
        b.xHigh = std::max(b.xHigh, x);
        b.yLow = std::min(b.yLow, y);
        b.yHigh = std::max(b.yHigh, y);
    };
    for (const dgn::Point& q : p) include(q.x, q.y);
    const std::size_t n = p.size();
    std::vector<double> mx(n), my(n), d(n);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const double dx = double(p[k + 1].x) - p[k].x, dy = double(p[k + 1].y) - p[k].y;
        d[k] = std::hypot(dx, dy);
        mx[k] = d[k] == 0 ? 0 : dx / d[k];
        my[k] = d[k] == 0 ? 0 : dy / d[k];
    }
    std::vector<double> tx(n), ty(n);
    for (std::size_t k = 2; k + 2 < n; ++k) {
        tx[k] = akima(mx[k - 2], mx[k - 1], mx[k], mx[k + 1]);
        ty[k] = akima(my[k - 2], my[k - 1], my[k], my[k + 1]);
    }
    // The drawn segments run from the third point to the third from last.
    for (std::size_t k = 2; k + 3 < n; ++k) {
        const double third = d[k] / 3;
        include(p[k].x + tx[k] * third, p[k].y + ty[k] * third);
        include(p[k + 1].x - tx[k + 1] * third, p[k + 1].y - ty[k + 1] * third);
    }
    return b;
}

std::optional<dgn::Point> extrapolated(dgn::Point from, dgn::Point towards, int k) {
    const double x = from.x + double(k) * (double(from.x) - towards.x);
    const double y = from.y + double(k) * (double(from.y) - towards.y);
    if (!inPlane(x) || !inPlane(y)) return std::nullopt;
    return dgn::Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

std::optional<dgn::Range> rangeOf(const Bounds& b) {
    const double xl = std::floor(b.xLow), yl = std::floor(b.yLow), xh = std::ceil(b.xHigh), yh = std::ceil(b.yHigh);
    if (!inPlane(xl) || !inPlane(yl) || !inPlane(xh) || !inPlane(yh)) return std::nullopt;
    return dgn::Range{std::int32_t(xl), std::int32_t(yl), std::int32_t(xh), std::int32_t(yh)};
}

}  // namespace convert
