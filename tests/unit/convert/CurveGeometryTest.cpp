// A curve's bounds hold the curve as it is drawn: the Akima cubics sampled finely here, in the
// parametric form readers use (each coordinate a cubic of the distance along the chord).
#include <gtest/gtest.h>

#include <cmath>

#include "convert/CurveGeometry.h"

using namespace convert;

namespace {

// Samples of the drawn curve through points 2 .. n-3 of stored.
std::vector<std::pair<double, double>> drawn(const std::vector<dgn::Point>& p) {
    const std::size_t n = p.size();
    std::vector<double> d(n), mx(n), my(n), tx(n), ty(n);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const double dx = p[k + 1].x - double(p[k].x), dy = p[k + 1].y - double(p[k].y);
        d[k] = std::hypot(dx, dy);
        mx[k] = d[k] ? dx / d[k] : 0;
        my[k] = d[k] ? dy / d[k] : 0;
    }
    const auto slope = [](const std::vector<double>& m, std::size_t k) {
        const double a = std::fabs(m[k + 1] - m[k]), b = std::fabs(m[k - 1] - m[k - 2]);
        return a + b == 0 ? (m[k] + m[k - 1]) / 2 : (m[k - 1] * a + m[k] * b) / (a + b);
    };
    for (std::size_t k = 2; k + 2 < n; ++k) tx[k] = slope(mx, k), ty[k] = slope(my, k);
    std::vector<std::pair<double, double>> out;
    for (std::size_t k = 2; k + 3 < n; ++k) {
        const double D = d[k];
        for (int s = 0; s <= 200; ++s) {
            const double u = D * s / 200;
            const auto cubic = [&](double p0, double p1, double t0, double t1) {
                const double b = (3 * (p1 - p0) / D - 2 * t0 - t1) / D, a = (t0 + t1 - 2 * (p1 - p0) / D) / (D * D);
                return a * u * u * u + b * u * u + t0 * u + p0;
            };
            out.emplace_back(cubic(p[k].x, p[k + 1].x, tx[k], tx[k + 1]), cubic(p[k].y, p[k + 1].y, ty[k], ty[k + 1]));
        }
    }
    return out;
}

}  // namespace

TEST(CurveGeometry, BoundsHoldTheDrawnCurve) {
    const std::vector<std::vector<dgn::Point>> curves = {
        {{-20000, 0}, {-10000, 0}, {0, 0}, {10000, 0}, {10000, 10000}, {10000, 20000}, {10000, 30000}},
        {{0, 0}, {5, 9}, {10, 0}, {15, 9}, {20, 0}, {25, 9}, {30, 0}, {35, 9}},
        {{0, 0}, {0, 0}, {0, 0}, {100, 100}, {100, 100}, {100, 100}},
        {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}, {1000, 0}, {1000, 1000}},
    };
    for (const auto& c : curves) {
        const Bounds b = curveBounds(c);
        const auto range = rangeOf(b);
        ASSERT_TRUE(range);
        const double e = 1e-6;  // the sampling's own rounding at the vertices
        for (const auto& [x, y] : drawn(c))
            EXPECT_TRUE(x >= range->xLow - e && x <= range->xHigh + e && y >= range->yLow - e && y <= range->yHigh + e) << x << "," << y;
        for (const dgn::Point& p : c) EXPECT_TRUE(range->encloses(dgn::Range::at(p)));
    }
    // The corner of the first curve is drawn beyond its vertices: the bounds reach past them.
    EXPECT_GT(curveBounds(curves[0]).xHigh, 10000);
    EXPECT_LT(curveBounds(curves[0]).yLow, 0);
}
