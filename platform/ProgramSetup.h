#pragma once

class QApplication;

namespace mapfeed {

class Application;
class QtHost;

/// One look on every desktop: the Fusion style and the font that stands in for the classic
/// 8.25-point dialog face.
void applyAppStyle(QApplication& qapp);

/// The Escape key acts as "Close" in the main window.
void installMainWindowKeys(QtHost& host, Application& app);

}  // namespace mapfeed
