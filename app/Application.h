#pragma once

#include <vector>

#include "app/DialogTable.h"
#include "app/MainWindow.h"
#include "job/OptionTable.h"
#include "ui/Services.h"
#include "ui/WindowHost.h"

namespace mapfeed {

/// The composition root: owns the option table, the main window and the table of every other
/// window, and hands each window only the services and effects it uses.
class Application {
public:
    Application(Services& services, WindowHost& host);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// Runs the main window's start-up rule and shows it.
    void start();

    ObservedOptionTable options;
    Services& services;
    WindowHost& host;
    DialogTable dialogs;
    MainWindow mapfeed;

    /// Every window that exists now, the main window first.
    std::vector<Window*> windows();

    /// Closing through the window frame: the main window ends the program like "Close";
    /// a dialog is discarded.
    void closeThroughFrame(Window& window);
};

}  // namespace mapfeed
