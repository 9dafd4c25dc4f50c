#include "ui/Window.h"

#include <algorithm>

#include "ui/WindowHost.h"

namespace mapfeed {

Window::Window(WindowHost& host, std::string name, std::string title, int clientWidth, int clientHeight)
    : host_(host), name_(std::move(name)), title_(std::move(title)), clientWidth_(clientWidth), clientHeight_(clientHeight) {}

std::vector<Control*> Window::tabOrder() const {
    std::vector<Control*> order;
    for (Control* control : controls_)
        if (control->takesFocus() && control->tabIndex >= 0) order.push_back(control);
    std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

Control* Window::initialFocus() const {
    for (Control* control : tabOrder())
        if (control->enabled()) return control;
    return nullptr;
}

void Window::show() {
    visible_ = true;
    host_.shown(*this);
}

void Window::hide() {
    if (!visible_) return;
    visible_ = false;
    host_.hidden(*this);
}

void Window::setFocus(Control& control) { host_.focusMoved(*this, control); }

void Window::place(Control& control, Frame* frame, int left, int top, int width, int height, int tabIndex) {
    control.frame = frame;
    control.geometry = {left, top, width, height};
    control.tabIndex = tabIndex;
}

}  // namespace mapfeed
