#include "platform/ProgramSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>


namespace mapfeed {

void applyAppStyle(QApplication& qapp) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    // Liberation Sans is as narrow as the face the layout was drawn for, so captions fit.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    qapp.setFont(font);
}

}  // namespace mapfeed
