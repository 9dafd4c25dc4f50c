#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace mapfeed {

/// Where a dialog whose frame is `frame` big opens: beside its owner's frame `owner`, to its
/// right where the screen's free area `screen` allows, else below it, else to its left, clear
/// of the other windows open (`open`, their frames). When no side has room, the place on the
/// screen that covers least: no open window if it can, then as little as it can of
/// `keepClear` (the owner's controls), then as near as it can to the owner's right side.
QPoint dialogPosition(const QRect& owner, const QSize& frame, const QRect& screen, const std::vector<QRect>& open,
                      const std::vector<QRect>& keepClear = {});

/// Whether a dialog's frame at `place` stays clear of every window in `others`: a dialog
/// reopens where it was left only then.
bool isClearPlace(const QRect& place, const std::vector<QRect>& others);

}  // namespace mapfeed
