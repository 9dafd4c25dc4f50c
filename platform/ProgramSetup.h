#pragma once

class QApplication;
class QWidget;

namespace mapfeed {

/// One look on every desktop: the Fusion style and the font that stands in for the classic
/// 8.25-point dialog face.
void applyAppStyle(QApplication& qapp);

/// For the start-up benchmark: when MAPFEED_EXIT_AFTER_FIRST_PAINT is set, ends the process
/// right after `window` has drawn and shown its first frame. Does nothing when it is not set.
void exitAfterFirstPaintIfAsked(QWidget* window);

}  // namespace mapfeed
