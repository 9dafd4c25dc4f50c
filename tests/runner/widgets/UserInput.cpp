#include "tests/runner/widgets/UserInput.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWidget>

namespace mapfeed::scenario::user {

namespace {

QWidget* hit(QWidget* window, QPoint point, QPoint* local) {
    QWidget* target = window->childAt(point);
    if (!target) target = window;
    *local = target->mapFrom(window, point);
    return target;
}

/// Where keys go: the focus widget of the window, as the platform delivers them.
QWidget* keyTarget(QWidget* widget) {
    QWidget* focused = widget->window()->focusWidget();
    return focused ? focused : widget;
}

}  // namespace

void activate(QWidget* widget) {
    QWidget* window = widget->window();
    if (QApplication::activeWindow() == window) return;
    window->activateWindow();
    settle();
}

QWidget* clickAt(QWidget* window, QPoint point) {
    activate(window);
    QPoint local;
    QWidget* target = hit(window, point, &local);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
    return target;
}

QWidget* doubleClickAt(QWidget* window, QPoint point) {
    activate(window);
    QPoint local;
    QWidget* target = hit(window, point, &local);
    // A double click as the platform reports it: press, release, double-click press, release.
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, local);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local);
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local);
    return target;
}

void moveTo(QWidget* window, QPoint point) {
    QPoint local;
    QWidget* target = hit(window, point, &local);
    QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

void press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(keyTarget(widget), static_cast<Qt::Key>(key), modifiers);
}

void typeCharacter(QWidget* widget, const QString& character) {
    const bool printable = !character.isEmpty() && (character.at(0).isPrint() || character.at(0).isSurrogate());
    if (!printable) {
        QGuiApplication::clipboard()->setText(character);
        press(widget, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    Qt::Key key = Qt::Key_unknown;
    if (character.size() == 1 && character.at(0).unicode() < 0x80) {
        const QChar upper = character.at(0).toUpper();
        if (upper.isLetterOrNumber() || upper.isPunct() || upper.isSymbol() || upper == QLatin1Char(' '))
            key = static_cast<Qt::Key>(upper.unicode());
    }
    QTest::sendKeyEvent(QTest::Click, keyTarget(widget), key, character, Qt::NoModifier);
}

void replaceText(QWidget* widget, const QString& text) {
    press(widget, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        press(widget, Qt::Key_Delete);
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    press(widget, Qt::Key_V, Qt::ControlModifier);
}

void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace mapfeed::scenario::user
