#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Controls.h"

namespace mapfeed {

class WindowHost;

/// A window of the model: a named set of controls with a title, a client size in twips and a
/// visible state. Concrete windows declare their controls as members, named as the system
/// names them, and write their rules as member functions.
class Window {
public:
    Window(WindowHost& host, std::string name, std::string title, int clientWidth, int clientHeight);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    const std::string& name() const { return name_; }
    const std::string& title() const { return title_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    const std::vector<Control*>& controls() const { return controls_; }
    Control* find(const std::string& controlName) const;
    /// The controls that take focus, in the order the Tab key visits them.
    std::vector<Control*> tabOrder() const;
    /// The control that holds the focus when the window first opens.
    Control* initialFocus() const;

    bool visible() const { return visible_; }
    /// Shows the window, or brings it to the front when it is visible already.
    void show();
    void hide();
    /// A rule moves the keyboard focus.
    void setFocus(Control& control);

    /// Called by each control as it is constructed.
    void adopt(Control& control) { controls_.push_back(&control); }

    /// Told after any control of the window changed its state.
    std::function<void()> onAnyControlChanged;

protected:
    void place(Control& control, Frame* frame, int left, int top, int width, int height, int tabIndex);

    WindowHost& host_;

private:
    std::string name_;
    std::string title_;
    int clientWidth_;
    int clientHeight_;
    std::vector<Control*> controls_;
    bool visible_ = false;
};

}  // namespace mapfeed
