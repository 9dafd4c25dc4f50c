#include "tests/support/WindowLookup.h"

#include "tests/support/RecordingHost.h"

namespace mapfeed::testing {

namespace {

RecordingHost silentHost;

}  // namespace

Control* findControl(const Window& window, const std::string& controlName) {
    for (Control* control : window.controls())
        if (control->name() == controlName) return control;
    return nullptr;
}

Window* findWindow(Application& app, const std::string& name) {
    for (Window* window : app.windows())
        if (window->name() == name) return window;
    return nullptr;
}

bool isWindowName(Application& app, const std::string& name) {
    if (name == app.mapfeed.name()) return true;
    for (const DialogTable::Row& row : app.dialogs)
        if (row.name == name) return true;
    return false;
}

Control* Prototypes::control(const std::string& windowName, const std::string& controlName) {
    for (const DialogTable::Row& row : app_.dialogs) {
        if (row.name != windowName) continue;
        auto& made = made_[windowName];
        made = row.make(silentHost);
        return findControl(*made, controlName);
    }
    return nullptr;
}

}  // namespace mapfeed::testing
