#include "tests/runner/widgets/WidgetHost.h"

#include "ui/Window.h"

namespace mapfeed::scenario {

const Control* WidgetHost::controlOf(const WindowView& view, const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        for (const Control* control : view.model().controls())
            if (view.widgetFor(*control) == widget) return control;
    return nullptr;
}

void WidgetHost::created(Window& window) { real_.created(window); }

void WidgetHost::shown(Window& window) {
    real_.shown(window);
    // The main window's showing at start is no part of a transcript.
    WindowView* view = real_.view(window);
    if (view && view->isVisible() && window.name() != "mapfeed") say("show " + window.name());
}

void WidgetHost::hidden(Window& window) {
    WindowView* view = real_.view(window);
    const bool wasVisible = view && view->isVisible();
    real_.hidden(window);
    if (wasVisible && !view->isVisible()) say("hide " + window.name());
}

void WidgetHost::discarded(Window& window) {
    const bool hadWindow = real_.view(window) != nullptr;
    real_.discarded(window);
    if (hadWindow) say("discard " + window.name());
}

void WidgetHost::focusMoved(Window& window, Control& control) {
    real_.focusMoved(window, control);
    WindowView* view = real_.view(window);
    if (!view) return;
    const Control* focused = controlOf(*view, view->focusWidget());
    say("focus " + window.name() + "." + (focused ? focused->name() : std::string("(no control)")));
}

}  // namespace mapfeed::scenario
