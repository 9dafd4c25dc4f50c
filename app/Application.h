#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Services.h"
#include "app/WindowHost.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// Owns the option table, the main window and the dialogs, and the services they use. The
/// dialogs are made on first use and discarded when closed through their frame.
class Application {
public:
    Application(Services& services, WindowHost& host);
    ~Application();

    /// Creates the main window's state (runs Form_Load); the caller then shows it.
    void start();

    OptionTable options;
    Services& services;
    WindowHost& host;
    MainWindow mapfeed;

    /// The window of that name if it exists now, else nullptr.
    Window* window(const std::string& name);
    /// Every window that exists now, the main window first.
    std::vector<Window*> windows();
    /// Whether a window of that name can exist in this program (it may not exist yet).
    bool knowsWindow(const std::string& name) const;
    /// A control of a window that does not exist yet, as it would be at the window's first
    /// opening; nullptr for an unknown name.
    Control* prototypeControl(const std::string& windowName, const std::string& controlName);

    /// Closing through the window frame: the main window ends the program like "Close";
    /// a dialog is discarded and made afresh at its next opening.
    void closeThroughFrame(Window& window);
};

}  // namespace mapfeed
