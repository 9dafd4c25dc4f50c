#include "platform/ProgramSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QShortcut>
#include <QStyleFactory>

#include "app/Application.h"
#include "platform/QtHost.h"

namespace mapfeed {

void applyAppStyle(QApplication& qapp) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    // Liberation Sans is as narrow as the face the layout was drawn for, so captions fit.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    qapp.setFont(font);
}

void installMainWindowKeys(QtHost& host, Application& app) {
    QWidget* view = host.view(app.mapfeed);
    if (!view) return;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, view, [&app] { app.mapfeed.CloseCmd.userClicks(); });
}

}  // namespace mapfeed
