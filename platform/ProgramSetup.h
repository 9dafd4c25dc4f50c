#pragma once

class QApplication;
class QWidget;

namespace mapfeed {

/// One look on every desktop: the Fusion style and the font that stands in for the classic
/// 8.25-point dialog face.
void applyAppStyle(QApplication& qapp);

}  // namespace mapfeed
