#include "platform/ProgramSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>
#include <cstdlib>

namespace mapfeed {

namespace {

/// Fusion, with plain text on the buttons of message boxes and dialogs: the classic boxes
/// carried no pictures on "OK" and "Cancel".
class AppStyle : public QProxyStyle {
public:
    AppStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

/// Ends the process once the widget it watches has been painted for the first time.
class ExitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !ending_) {
            ending_ = true;
            // Queued, so the rest of the frame is painted and flushed to the screen first.
            QMetaObject::invokeMethod(this, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool ending_ = false;
};

}  // namespace

void exitAfterFirstPaintIfAsked(QWidget* window) {
    if (!window || !qEnvironmentVariableIsSet("MAPFEED_EXIT_AFTER_FIRST_PAINT")) return;
    window->installEventFilter(new ExitAfterFirstPaint(window));
}

void applyAppStyle(QApplication& qapp) {
    QApplication::setStyle(new AppStyle);
    // Liberation Sans is as narrow as the face the layout was drawn for, so captions fit.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    qapp.setFont(font);
}

}  // namespace mapfeed
