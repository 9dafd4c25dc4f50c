#pragma once

class QWidget;

namespace mapfeed {

/// Teaches Qt's accessibility what this program's windows are: the main window is a window,
/// not a dialog, and a drop-down list is named by its label or role, not by its value. Safe to
/// call more than once.
void installAccessibility();

/// Marks the view of the main window, so that screen readers are told it is a window.
void markAsMainWindow(QWidget& view);

}  // namespace mapfeed
