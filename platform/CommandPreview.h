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

}  // namespace mapfeed
