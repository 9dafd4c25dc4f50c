#include "platform/ProgramSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

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

}  // namespace

void applyAppStyle(QApplication& qapp) {
    QApplication::setStyle(new AppStyle);
    // Liberation Sans is as narrow as the face the layout was drawn for, so captions fit.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    qapp.setFont(font);
}

}  // namespace mapfeed
