#include "platform/DialogPlacement.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace mapfeed {

namespace {

constexpr int kGap = 4;
constexpr int kGridStep = 8;

const QRect* firstOverlap(const QRect& place, const std::vector<QRect>& open) {
    for (const QRect& other : open)
        if (other.intersects(place)) return &other;
    return nullptr;
}

/// The first free place in a column that starts at `start` and runs down the screen.
std::optional<QPoint> freeInColumn(QPoint start, const QSize& frame, const QRect& screen, const std::vector<QRect>& open) {
    if (start.x() < screen.left() || start.x() + frame.width() - 1 > screen.right()) return std::nullopt;
    QRect place(start, frame);
    while (place.bottom() <= screen.bottom()) {
        const QRect* other = firstOverlap(place, open);
        if (!other) return place.topLeft();
        place.moveTop(other->bottom() + 1 + kGap);
    }
    return std::nullopt;
}

/// The first free place in a row that starts at `start` and runs across the screen.
std::optional<QPoint> freeInRow(QPoint start, const QSize& frame, const QRect& screen, const std::vector<QRect>& open) {
    if (start.y() < screen.top() || start.y() + frame.height() - 1 > screen.bottom()) return std::nullopt;
    QRect place(start, frame);
    while (place.right() <= screen.right()) {
        const QRect* other = firstOverlap(place, open);
        if (!other) return place.topLeft();
        place.moveLeft(other->right() + 1 + kGap);
    }
    return std::nullopt;
}

/// How much of `place` the rectangles in `areas` cover, in square pixels.
qint64 coveredArea(const QRect& place, const std::vector<QRect>& areas) {
    qint64 area = 0;
    for (const QRect& other : areas) {
        const QRect both = place.intersected(other);
        if (!both.isEmpty()) area += qint64(both.width()) * both.height();
    }
    return area;
}

/// Every place on the screen, on a grid of a few pixels and along its far edges: the one that
/// covers the least of the open windows, then of `keepClear`, then lies nearest to `wanted`.
QPoint leastCovering(QPoint wanted, const QSize& frame, const QRect& screen, const std::vector<QRect>& open,
                     const std::vector<QRect>& keepClear) {
    const int lastX = std::max(screen.left(), screen.right() - frame.width() + 1);
    const int lastY = std::max(screen.top(), screen.bottom() - frame.height() + 1);
    struct Score {
        qint64 open, clear, distance;
        bool operator<(const Score& o) const { return std::tie(open, clear, distance) < std::tie(o.open, o.clear, o.distance); }
    };
    QPoint best = screen.topLeft();
    std::optional<Score> bestScore;
    const auto next = [](int at, int last) { return at == last ? last + 1 : std::min(at + kGridStep, last); };
    for (int y = screen.top(); y <= lastY; y = next(y, lastY))
        for (int x = screen.left(); x <= lastX; x = next(x, lastX)) {
            const QRect place(QPoint(x, y), frame);
            const QPoint away = place.topLeft() - wanted;
            const Score score{coveredArea(place, open), coveredArea(place, keepClear),
                              qint64(away.x()) * away.x() + qint64(away.y()) * away.y()};
            if (!bestScore || score < *bestScore) {
                bestScore = score;
                best = place.topLeft();
            }
        }
    return best;
}

}  // namespace

QPoint dialogPosition(const QRect& owner, const QSize& frame, const QRect& screen, const std::vector<QRect>& open,
                      const std::vector<QRect>& keepClear) {
    const int top = std::max(owner.top(), screen.top());
    const int left = std::max(owner.left(), screen.left());
    const QPoint right(owner.right() + 1 + kGap, top);
    const QPoint below(left, owner.bottom() + 1 + kGap);
    const QPoint leftSide(owner.left() - kGap - frame.width(), top);

    if (auto place = freeInColumn(right, frame, screen, open)) return *place;
    if (auto place = freeInRow(below, frame, screen, open)) return *place;
    if (auto place = freeInColumn(leftSide, frame, screen, open)) return *place;
    return leastCovering(right, frame, screen, open, keepClear);
}

bool isClearPlace(const QRect& place, const std::vector<QRect>& others) {
    return std::none_of(others.begin(), others.end(), [&](const QRect& other) { return other.intersects(place); });
}

}  // namespace mapfeed
