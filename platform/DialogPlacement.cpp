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

QRect besideOwner(const QRect& owner, const QSize& preferred, const QSize& least, const QRect& screen,
                  const std::vector<QRect>& open) {
    // The four sides of the owner, each as far as the screen goes, less the windows open there:
    // of what an open window leaves of a side, the largest part.
    QRect sides[] = {
        QRect(QPoint(owner.right() + 1 + kGap, screen.top()), screen.bottomRight()),
        QRect(QPoint(screen.left(), owner.bottom() + 1 + kGap), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(owner.left() - 1 - kGap, screen.bottom())),
        QRect(screen.topLeft(), QPoint(screen.right(), owner.top() - 1 - kGap)),
    };
    for (QRect& side : sides)
        for (const QRect& other : open) {
            if (!side.intersects(other)) continue;
            const QRect parts[] = {
                QRect(side.topLeft(), QPoint(other.left() - 1 - kGap, side.bottom())),
                QRect(QPoint(other.right() + 1 + kGap, side.top()), side.bottomRight()),
                QRect(side.topLeft(), QPoint(side.right(), other.top() - 1 - kGap)),
                QRect(QPoint(side.left(), other.bottom() + 1 + kGap), side.bottomRight()),
            };
            QRect largest;
            for (const QRect& part : parts)
                if (part.isValid() && part.width() * part.height() > largest.width() * largest.height()) largest = part;
            side = largest;
        }
    const auto fits = [&](const QRect& side) {
        return side.width() >= preferred.width() && side.height() >= preferred.height();
    };
    const QRect* chosen = nullptr;
    for (const QRect& side : sides)
        if (fits(side)) {
            chosen = &side;
            break;
        }
    if (!chosen)
        for (const QRect& side : sides)
            if (side.isValid() && (!chosen || side.width() * side.height() > chosen->width() * chosen->height()))
                chosen = &side;
    if (!chosen) {
        // No room beside the owner at all (it fills the screen): its own side of the screen's
        // top left, as small as it may be; with windows open, first without them.
        if (!open.empty()) return besideOwner(owner, preferred, least, screen);
        return QRect(screen.topLeft(), least.expandedTo(QSize(1, 1)));
    }
    const QSize size(std::max(least.width(), std::min(preferred.width(), chosen->width())),
                     std::max(least.height(), std::min(preferred.height(), chosen->height())));
    // Next to the owner: level with its top beside it, flush with its left below or above it.
    QPoint at = chosen->topLeft();
    if (chosen == &sides[0] || chosen == &sides[2]) {
        at.setY(std::clamp(owner.top(), chosen->top(), std::max(chosen->top(), chosen->bottom() - size.height() + 1)));
        if (chosen == &sides[2]) at.setX(chosen->right() - size.width() + 1);
    } else {
        at.setX(std::clamp(owner.left(), chosen->left(), std::max(chosen->left(), chosen->right() - size.width() + 1)));
        if (chosen == &sides[3]) at.setY(chosen->bottom() - size.height() + 1);
    }
    // A side narrower than the least size still keeps the window whole on the screen, even if it
    // then has to stand over part of its owner.
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - size.width() + 1)));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() - size.height() + 1)));
    return QRect(at, size);
}

}  // namespace mapfeed
