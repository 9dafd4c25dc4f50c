#pragma once

#include <map>
#include <memory>
#include <string>

#include "app/Application.h"

namespace mapfeed::testing {

/// The control of that name in a window, else nullptr.
Control* findControl(const Window& window, const std::string& controlName);

/// The window of that name if it exists now, else nullptr.
Window* findWindow(Application& app, const std::string& name);

/// Whether the program has a window of that name, made yet or not.
bool isWindowName(Application& app, const std::string& name);

/// Windows made only to be looked at: a dialog that does not exist yet, as it would be at its
/// first opening now. Nothing it does is shown or told.
class Prototypes {
public:
    explicit Prototypes(Application& app) : app_(app) {}
    /// The control of a freshly made window, or nullptr for an unknown name. Valid until the
    /// next call: each look makes the window afresh, since a first opening reads the folders
    /// as they are now.
    Control* control(const std::string& windowName, const std::string& controlName);

private:
    Application& app_;
    std::map<std::string, std::unique_ptr<Window>> made_;
};

}  // namespace mapfeed::testing
