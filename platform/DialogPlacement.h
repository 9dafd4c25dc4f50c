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

/// Where a window that would rather be `preferred` big goes beside its owner's frame `owner`:
/// in the largest free side of the screen's free area `screen` (right, below, left or above),
/// clear of the windows already open (`open`) where the side leaves room beside them, its frame
/// shrunk to that room when it does not fit, never smaller than `least`. Unlike a dialog it
/// never covers its owner; the frame's place and size are returned.
QRect besideOwner(const QRect& owner, const QSize& preferred, const QSize& least, const QRect& screen,
                  const std::vector<QRect>& open = {});

}  // namespace mapfeed
