#pragma once

#include <functional>

class QWidget;

namespace mapfeed {

class Control;
class Window;

/// The widget that shows a control, nullptr for none.
using WidgetOf = std::function<QWidget*(const Control&)>;

/// Lines a window's controls up as the eye reads them, inside the places its layout gives
/// them: a control whose left edge stands within 2 pixels of the edge that most controls of
/// its frame share moves onto that edge, and a label beside the control it names is drawn
/// lower in its place so that both texts stand on one baseline. Fields stacked edge to edge
/// get a small gap between them.
void alignControls(const Window& window, const WidgetOf& widgetFor);

}  // namespace mapfeed
