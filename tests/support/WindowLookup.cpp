#include "tests/support/WindowLookup.h"

#include "tests/support/SilentHost.h"

namespace mapfeed::testing {

namespace {

SilentHost silentHost;

}  // namespace

Window* findWindow(Application& app, const std::string& name) {
    for (Window* window : app.windows())
        if (window->name() == name) return window;
    return nullptr;
}

bool isWindowName(const Application& app, const std::string& name) {
    if (name == app.mapfeed.name()) return true;
    for (const auto& entry : app.dialogTable())
        if (entry.name == name) return true;
    return false;
}

Control* Prototypes::control(const std::string& windowName, const std::string& controlName) {
    for (const auto& entry : app_.dialogTable()) {
        if (entry.name != windowName) continue;
        auto& made = made_[windowName];
        made = entry.make(silentHost);
        return made->find(controlName);
    }
    return nullptr;
}

}  // namespace mapfeed::testing
