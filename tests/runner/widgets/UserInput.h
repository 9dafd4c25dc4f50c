#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace mapfeed::scenario {

/// A user's mouse and keyboard, as real events through the application, so that focus,
/// activation and every event filter see them as they would see a person's input.
namespace user {

/// Activates the window that holds `widget`, as a window manager does on a click into it.
void activate(QWidget* widget);
/// A left click at `point` of `window` (its coordinates), delivered to the widget found there.
/// Returns that widget.
QWidget* clickAt(QWidget* window, QPoint point);
QWidget* doubleClickAt(QWidget* window, QPoint point);
/// The pointer moves to `point` of `window`.
void moveTo(QWidget* window, QPoint point);
/// One key press and release, to the widget that has the focus in `widget`'s window.
void press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
/// Types one character as a key press with that text; characters a keyboard cannot type (line
/// breaks, tabs, other control characters) are pasted instead.
void typeCharacter(QWidget* widget, const QString& character);
/// Replaces the whole text of the focused field in one edit: select all, then paste (or delete
/// for the empty text).
void replaceText(QWidget* widget, const QString& text);
/// Lets posted events, deferred deletes and window-system events run.
void settle();

}  // namespace user

}  // namespace mapfeed::scenario
