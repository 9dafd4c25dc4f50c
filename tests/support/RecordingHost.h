#pragma once

#include <functional>
#include <string>

#include "ui/Window.h"
#include "ui/WindowHost.h"

namespace mapfeed::testing {

/// The window host of every test without a screen: what the rules do to windows, written as
/// the scenario transcript writes it. Without a printer it shows nothing and tells nothing.
class RecordingHost : public WindowHost {
public:
    explicit RecordingHost(std::function<void(const std::string&)> print = {}) : print_(std::move(print)) {}

    void created(Window&) override {}
    void shown(Window& window) override { say("show " + window.name()); }
    void hidden(Window& window) override { say("hide " + window.name()); }
    void discarded(Window& window) override { say("discard " + window.name()); }
    void focusMoved(Window& window, Control& control) override {
        say("focus " + window.name() + "." + control.name());
    }

protected:
    void say(const std::string& line) {
        if (print_) print_(line);
    }

private:
    std::function<void(const std::string&)> print_;
};

}  // namespace mapfeed::testing
