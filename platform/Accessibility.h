#pragma once

class QString;
class QWidget;

namespace mapfeed {

/// Teaches Qt's accessibility what this program's windows are: the main window is a window,
/// not a dialog, and a drop-down list is named by its label or role, not by its value. Safe to
/// call more than once.
void installAccessibility();

/// What a screen reader says for a control named by a caption: "Centroid Table Name:" is
/// read as "Centroid Table Name".
QString accessibleNameFrom(const QString& caption);

/// Marks the view of the main window, so that screen readers are told it is a window.
void markAsMainWindow(QWidget& view);

}  // namespace mapfeed
