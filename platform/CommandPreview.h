#pragma once

#include <QString>
#include <string>

class QWidget;

namespace mapfeed {

class Application;
class WindowView;

/// A read-only, selectable text under the main window's frames that shows, at every moment,
/// the whole command line "Apply" would start, wrapped onto as many lines as it needs. It is
/// composed on a copy of the option table, so looking never writes anything. It stretches
/// with the window, and the window grows when the command needs more lines than it has room
/// for; the controls above keep their places. `trailing`, when given, stands at the strip's
/// right end beside it.
void addCommandPreview(WindowView& mainView, Application& app, QWidget* trailing = nullptr);

/// The command line as the preview shows it. A control character other than the tab (which
/// "Apply" refuses) is shown as its visible symbol, "\r" as U+240D and so on, so that it can
/// neither break the line it stands in nor vanish from it.
QString shownCommandLine(const std::string& commandLine);

}  // namespace mapfeed
