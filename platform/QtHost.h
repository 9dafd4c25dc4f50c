#pragma once

#include <QPointer>
#include <map>

#include "app/WindowHost.h"
#include "platform/WindowView.h"

namespace mapfeed {

class Application;

/// Makes, shows, hides and discards the real windows as the model's rules say.
class QtHost : public WindowHost {
public:
    ~QtHost() override;

    /// The application whose windows this host shows; set before its start.
    void attach(Application& app) { app_ = &app; }

    WindowView* view(const Window& window) const;
    /// The window that should own modal boxes: the active one, else the main window.
    QWidget* activeView() const;

    void created(Window& window) override;
    void shown(Window& window) override;
    void hidden(Window& window) override;
    void discarded(Window& window) override;
    void focusMoved(Window& window, Control& control) override;

private:
    Application* app_ = nullptr;
    std::map<const Window*, QPointer<WindowView>> views_;
    std::map<const Window*, bool> focusedOnce_;
};

}  // namespace mapfeed
