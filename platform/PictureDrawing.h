#pragma once

#include <QImage>
#include <set>

#include "picture/Picture.h"
#include "picture/View.h"

namespace mapfeed {

/// Draws a picture as a view shows it: the design file's elements dimmed, the input in colour,
/// what a run appended highlighted, the levels in `hidden` left out, and a scale bar. A shape
/// wholly outside the view is passed over, and a line is drawn with at most one vertex a
/// pixel, so that a redraw costs what the screen shows, not what the file holds.
QImage drawPicture(const picture::Picture& picture, const picture::View& view, const std::set<int>& hidden,
                   qreal devicePixelRatio = 1);

}  // namespace mapfeed
