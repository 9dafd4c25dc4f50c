#include "tests/runner/widgets/WidgetPlayer.h"

#include <QApplication>

#include "platform/ProgramSetup.h"
#include "tests/runner/ScenarioPlayer.h"
#include "tests/runner/widgets/WidgetDriver.h"

namespace mapfeed::scenario {

namespace {

QtMessageHandler defaultHandler = nullptr;

/// The offscreen platform says, for every window, what it cannot do (raise, grab); that is
/// no news to anyone reading a transcript's diff.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && (message.startsWith(QLatin1String("This plugin does not support")) ||
                                 message.startsWith(QLatin1String("QStandardPaths: "))))
        return;
    if (defaultHandler) defaultHandler(type, context, message);
}

}  // namespace

std::string playThroughWidgets(int argc, char** argv, const std::vector<std::string>& lines, std::string* partial,
                               std::vector<std::string>& violations) {
    // No display is needed, and no window manager can reorder what happens.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietPlatformNotes);
    QApplication qapp(argc, argv);
    applyAppStyle(qapp);
    return play(lines, partial, [&violations](std::function<void(const std::string&)> print) {
        return std::make_unique<WidgetDriver>(std::move(print), violations);
    });
}

}  // namespace mapfeed::scenario
