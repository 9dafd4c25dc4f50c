#pragma once

#include <functional>
#include <string>
#include <vector>

#include "job/Observers.h"
#include "ui/Controls.h"

namespace mapfeed {

class WindowHost;

/// A window of the model: a named set of controls with a title, a client size in twips and a
/// visible state. Concrete windows declare their controls as members, named as the system
/// names them, and write their rules as member functions.
class Window : public ControlOwner {
public:
    Window(WindowHost& host, std::string name, std::string title, int clientWidth, int clientHeight);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    const std::string& name() const override { return name_; }
    const std::string& title() const { return title_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    const std::vector<Control*>& controls() const override { return controls_; }
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

    /// Told after any control of the window changed its state.
    Observers controlChanges;

protected:
    void place(Control& control, Frame* frame, int left, int top, int width, int height, int tabIndex);

    WindowHost& host_;

private:
    void adopt(Control& control) override { controls_.push_back(&control); }
    void controlChanged() override { controlChanges.notify(); }

    std::string name_;
    std::string title_;
    int clientWidth_;
    int clientHeight_;
    std::vector<Control*> controls_;
    bool visible_ = false;
};

}  // namespace mapfeed
