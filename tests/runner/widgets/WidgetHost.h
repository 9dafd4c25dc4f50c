#pragma once

#include <functional>
#include <string>

#include "platform/QtHost.h"
#include "tests/support/RecordingHost.h"

namespace mapfeed::scenario {

/// The program's real window host, watched: a window is printed as shown, hidden or discarded
/// when its real window did so, and a focus move names the widget that really holds the focus.
class WidgetHost : public testing::RecordingHost {
public:
    explicit WidgetHost(std::function<void(const std::string&)> print) : RecordingHost(std::move(print)) {}

    QtHost& real() { return real_; }
    const QtHost& real() const { return real_; }
    /// The control whose widget is `widget` (or holds it), nullptr for none.
    static const Control* controlOf(const WindowView& view, const QWidget* widget);

    void created(Window& window) override;
    void shown(Window& window) override;
    void hidden(Window& window) override;
    void discarded(Window& window) override;
    void focusMoved(Window& window, Control& control) override;

private:
    QtHost real_;
};

}  // namespace mapfeed::scenario
