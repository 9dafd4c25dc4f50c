// Mapfeed: describes a conversion job in one window and starts the converter for it.

#include <QApplication>
#include <clocale>

#include "app/Application.h"
#include "platform/AppIcon.h"
#include "platform/ProgramSetup.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    // The log's date line follows the user's locale.
    std::setlocale(LC_ALL, "");
    mapfeed::applyAppStyle(qapp);
    QApplication::setWindowIcon(mapfeed::appIcon());
    // Ties the windows to the installed menu entry, so Wayland desktops show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.mapfeed.Mapfeed"));

    mapfeed::QtHost host;
    mapfeed::QtServices services(host);
    mapfeed::Application app(services, host);
    host.attach(app);
    app.start();
    return QApplication::exec();
}
