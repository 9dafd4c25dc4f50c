#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace mapfeed {

/// Where a dialog whose frame is `frame` big opens: beside its owner's frame `owner`, to its
/// right where the screen's free area `screen` allows, else below it, else to its left, clear
/// of the dialogs already open (`open`, their frames). When no side has room for it, it is
/// cascaded from the first place so that it never lands exactly on an open dialog.
QPoint dialogPosition(const QRect& owner, const QSize& frame, const QRect& screen, const std::vector<QRect>& open);

/// Where a window that would rather be `preferred` big goes beside its owner's frame `owner`:
/// in the largest free side of the screen's free area `screen` (right, below, left or above),
/// clear of the windows already open (`open`) where the side leaves room beside them, its frame
/// shrunk to that room when it does not fit, never smaller than `least`. Unlike a dialog it
/// never covers its owner; the frame's place and size are returned.
QRect besideOwner(const QRect& owner, const QSize& preferred, const QSize& least, const QRect& screen,
                  const std::vector<QRect>& open = {});

}  // namespace mapfeed
