#pragma once

namespace mapfeed {

class Application;
class WindowView;

/// A read-only, selectable line under the main window's frames that shows, at every moment,
/// the command line "Apply" would start. It is composed on a copy of the option table, so
/// looking never writes anything. The window grows by the line's height; nothing else moves.
void addCommandPreview(WindowView& mainView, Application& app);

}  // namespace mapfeed
